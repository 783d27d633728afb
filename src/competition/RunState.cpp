#include "competition/RunState.h"

std::optional<RunState::Kind> RunState::fromText(const QString& text) {
    if (text.size() < 3) // most cells of a table: empty, "-" or a blank
        return std::nullopt;
    const QString trimmed = text.trimmed();
    if (trimmed == QStringLiteral("DNS"))
        return DNS;
    if (trimmed == QStringLiteral("DNF"))
        return DNF;
    if (trimmed == QStringLiteral("DSQ"))
        return DSQ;
    return std::nullopt;
}

QString RunState::text(Kind kind) {
    switch (kind) {
    case DNS:
        return QStringLiteral("DNS");
    case DNF:
        return QStringLiteral("DNF");
    case DSQ:
        return QStringLiteral("DSQ");
    }
    return QString();
}

std::optional<RunState::Kind> RunState::heaviest(const QStringList& cells) {
    std::optional<Kind> result;
    for (const QString& cell : cells) {
        const auto kind = fromText(cell);
        if (kind && (!result || *kind > *result))
            result = kind;
    }
    return result;
}

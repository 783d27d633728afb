#include "journal/JournalLineFormat.h"

#include <QStringList>

namespace {

const QString WallClockFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");

QString optionalNumber(const std::optional<qint64>& value) {
    return value ? QString::number(*value) : QString();
}

// Empty text reads as "none"; anything else must be a whole number.
bool readNumber(QStringView text, std::optional<qint64>& out) {
    if (text.isEmpty()) {
        out.reset();
        return true;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (ok)
        out = value;
    return ok;
}

} // namespace

QString JournalLineFormat::header() {
    return QStringLiteral("Uhrzeit\tStempel_us\tEreignis\tName\tQuelle\tTabelle\tZeile\tNr.\t"
                          "Spalte\tAlt\tNeu\tLaufzeit_us\tHinweis");
}

QString JournalLineFormat::wallClockText(const QDateTime& time) {
    return time.toString(WallClockFormat);
}

QString JournalLineFormat::format(const JournalEntry& e) {
    const QStringList fields{wallClockText(e.wallClock),
                             optionalNumber(e.stamp),
                             JournalEntry::kindText(e.kind),
                             escaped(e.name),
                             escaped(e.source),
                             escaped(e.table),
                             e.row ? QString::number(*e.row) : QString(),
                             escaped(e.number),
                             escaped(e.column),
                             escaped(e.oldText),
                             escaped(e.newText),
                             optionalNumber(e.runMicroseconds),
                             escaped(e.remark)};
    return fields.join(u'\t');
}

std::optional<JournalEntry> JournalLineFormat::parse(QStringView line) {
    if (line.endsWith(u'\r'))
        line.chop(1);
    const QList<QStringView> f = line.split(u'\t');
    if (f.size() != columnCount)
        return std::nullopt;
    JournalEntry e;
    e.wallClock = QDateTime::fromString(f[0].toString(), WallClockFormat);
    const auto kind = JournalEntry::kindFromText(f[2].toString());
    std::optional<qint64> row;
    if (!e.wallClock.isValid() || !kind || !readNumber(f[1], e.stamp) || !readNumber(f[6], row) ||
        !readNumber(f[11], e.runMicroseconds))
        return std::nullopt;
    e.kind = *kind;
    if (row)
        e.row = static_cast<int>(*row);
    QString* texts[] = {&e.name,   &e.source,  &e.table,   &e.number,
                        &e.column, &e.oldText, &e.newText, &e.remark};
    const int positions[] = {3, 4, 5, 7, 8, 9, 10, 12};
    for (int i = 0; i < 8; ++i) {
        auto text = unescaped(f[positions[i]]);
        if (!text)
            return std::nullopt;
        *texts[i] = std::move(*text);
    }
    return e;
}

QString JournalLineFormat::escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<QString> JournalLineFormat::unescaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i].unicode()) {
        case u'\\':
            out += u'\\';
            break;
        case u't':
            out += u'\t';
            break;
        case u'n':
            out += u'\n';
            break;
        case u'r':
            out += u'\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

#include "timing/RunOverrun.h"

std::optional<QString> RunOverrun::warning(qint64 elapsedMs, int limitSeconds) {
    if (limitSeconds <= 0 || elapsedMs < qint64(limitSeconds) * 1000)
        return std::nullopt;
    return QStringLiteral("Kein Stopp seit ") + QString::number(elapsedMs / 1000) +
           QStringLiteral(" s: F7 = Nicht im Ziel");
}

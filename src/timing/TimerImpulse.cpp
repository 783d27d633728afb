#include "timing/TimerImpulse.h"

QString TimerImpulse::stampText(qint64 stamp) {
    const qint64 inDay = ((stamp % TicksPerDay) + TicksPerDay) % TicksPerDay;
    const qint64 seconds = inDay / 10000;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(inDay % 10000, 4, 10, QLatin1Char('0'));
}

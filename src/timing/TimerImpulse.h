#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// One impulse as a professional timer reported it: which channel, which start number and
// memory index it carried, and the timer's own time of day for it. The timer's stamp is the
// only time a run is measured by; the PC's arrival time is kept beside it for the journal.
struct TimerImpulse {
    // 1/10000 s in a day.
    static constexpr qint64 TicksPerDay = 24LL * 3600 * 10000;

    QString channel;
    int number = 0;   // start number, 0 when the line had none
    int index = -1;   // the timer's memory index, -1 when the format has none
    qint64 stamp = 0; // time of day in 1/10000 s
    int day = 0;      // midnights passed since the first impulse of the connection
    QChar flag = u' ';
    QByteArray raw;

    // The stamp counted on from the first day's midnight, so a midnight does not turn a run
    // negative.
    qint64 continuousStamp() const { return day * TicksPerDay + stamp; }
    // "HH:MM:SS.zhtq", as the timer prints it.
    static QString stampText(qint64 stamp);
};

#pragma once

#include "journal/JournalEntry.h"
#include "timing/TimerImpulse.h"
#include "timing/TimerInput.h"

// The journal's events of a professional timer. A new impulse is a line change whose stamp is
// the timer's own, on the program's clock, so "Zeitprotokoll" offers it for entry like a
// barrier's; its remark keeps the timer's stamp, the PC's arrival stamp and the raw line. An
// impulse sent again and an unreadable line are notes: they are kept, never offered twice.
class TimerJournalEntry {
public:
    static JournalEntry impulse(const TimerImpulse& impulse, TimerInput::Role role,
                                TimerInput::Arrival arrival, qint64 programStamp,
                                qint64 arrivalStamp);
    static JournalEntry unreadable(const QByteArray& line, const QString& reason,
                                   qint64 arrivalStamp);
    // The raw line with every byte that is no printable ASCII as \xNN.
    static QString printable(const QByteArray& line);
    static QString unreadableName() { return QStringLiteral("Zeitmessgerät: Zeile unlesbar"); }
    static QString repeatedName() { return QStringLiteral("Zeitmessgerät: Impuls wiederholt"); }
};

#include "journal/TimerJournalEntry.h"

#include "journal/JournalRecorder.h"

JournalEntry TimerJournalEntry::impulse(const TimerImpulse& impulse, TimerInput::Role role,
                                        TimerInput::Arrival arrival, qint64 programStamp,
                                        qint64 arrivalStamp) {
    JournalEntry e;
    e.stamp = programStamp;
    e.source = JournalRecorder::timerSource();
    e.number = impulse.number > 0 ? QString::number(impulse.number) : QString();
    e.newText = TimerImpulse::stampText(impulse.stamp);
    QStringList remark{QStringLiteral("PC %1").arg(arrivalStamp)};
    if (impulse.index >= 0)
        remark << QStringLiteral("Index %1").arg(impulse.index);
    if (impulse.flag != u' ')
        remark << QStringLiteral("Kennung %1").arg(impulse.flag);
    switch (arrival) {
    case TimerInput::Arrival::Live:
        e.kind = JournalEntry::Kind::LineChange;
        e.name = QStringLiteral("Zeitmessgerät %1 (%2)")
                     .arg(impulse.channel, TimerInput::roleName(role));
        break;
    case TimerInput::Arrival::FromMemory:
        e.kind = JournalEntry::Kind::LineChange;
        e.name = QStringLiteral("Zeitmessgerät %1 (%2)")
                     .arg(impulse.channel, TimerInput::roleName(role));
        remark << QStringLiteral("aus dem Speicher, nicht gestoppt");
        break;
    case TimerInput::Arrival::Repeated:
        e.kind = JournalEntry::Kind::Note;
        e.name = repeatedName();
        e.oldText = impulse.channel;
        remark << QStringLiteral("schon erhalten, nicht gezählt");
        break;
    }
    remark << QStringLiteral("Zeile: ") + printable(impulse.raw);
    e.remark = remark.join(QStringLiteral("; "));
    return e;
}

JournalEntry TimerJournalEntry::unreadable(const QByteArray& line, const QString& reason,
                                           qint64 arrivalStamp) {
    JournalEntry e;
    e.kind = JournalEntry::Kind::Note;
    e.stamp = arrivalStamp;
    e.name = unreadableName();
    e.source = JournalRecorder::timerSource();
    e.remark = reason + QStringLiteral("; Zeile: ") + printable(line);
    return e;
}

QString TimerJournalEntry::printable(const QByteArray& line) {
    QString text;
    text.reserve(line.size());
    for (char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

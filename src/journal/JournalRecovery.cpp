#include "journal/JournalRecovery.h"

#include "timing/RunClock.h"

#include <QtNumeric>

QList<JournalEntry> JournalRecovery::impulsesNewestFirst(const QList<JournalEntry>& entries) {
    QList<JournalEntry> result;
    for (auto it = entries.crbegin(); it != entries.crend(); ++it)
        if (it->isImpulse())
            result.append(*it);
    return result;
}

std::optional<qint32> JournalRecovery::runTime(qint64 startStamp, qint64 stopStamp) {
    // Stamps read from a damaged or edited file can be anything; their difference must not
    // overflow.
    qint64 span = 0;
    if (qSubOverflow(stopStamp, startStamp, &span) || span <= 0 || span > longestRunMicroseconds)
        return std::nullopt;
    return RunClock::truncatedToHundredths(span);
}

std::optional<std::pair<int, int>>
JournalRecovery::lastRun(const QList<JournalEntry>& newestFirst) {
    const auto isCommand = [](const JournalEntry& e, const char16_t* name) {
        return e.kind == JournalEntry::Kind::Command && e.stamp &&
               e.name == QString::fromUtf16(name);
    };
    for (int stop = 0; stop < newestFirst.size(); ++stop) {
        if (!isCommand(newestFirst[stop], u"Stopp"))
            continue;
        for (int start = stop + 1; start < newestFirst.size(); ++start)
            if (isCommand(newestFirst[start], u"Start"))
                return std::make_pair(start, stop);
        return std::nullopt;
    }
    return std::nullopt;
}

QString JournalRecovery::hint(const std::optional<qint64>& startStamp,
                              const std::optional<qint64>& stopStamp) {
    if (!startStamp)
        return QStringLiteral("Bitte einen Start wählen.");
    if (!stopStamp)
        return QStringLiteral("Bitte einen Stopp wählen.");
    if (*stopStamp <= *startStamp)
        return QStringLiteral("Der Stopp muss nach dem Start liegen.");
    if (!runTime(*startStamp, *stopStamp))
        return QStringLiteral("Zwischen Start und Stopp liegt mehr als ein Tag.");
    return QString();
}

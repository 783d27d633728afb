#pragma once

#include "journal/JournalEntry.h"

#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The rules of taking a lost run back from the journal: which events offer a stamp, the run
// time between two of them as the run clock computes it, and which pair is the last run.
class JournalRecovery {
public:
    // The impulses and commands with a stamp, newest first.
    static QList<JournalEntry> impulsesNewestFirst(const QList<JournalEntry>& entries);
    // ms in whole hundredths, exactly as the run clock takes a run; empty unless the stop
    // comes after the start and within a day of it.
    static std::optional<qint32> runTime(qint64 startStamp, qint64 stopStamp);
    // In a newest-first list: the newest "Stopp" command and the newest "Start" command
    // before it, as list positions; empty when there is no such pair.
    static std::optional<std::pair<int, int>> lastRun(const QList<JournalEntry>& newestFirst);
    // Why no time can be entered from this choice (German, for the operator); empty when one
    // can.
    static QString hint(const std::optional<qint64>& startStamp,
                        const std::optional<qint64>& stopStamp);

    static constexpr qint64 longestRunMicroseconds = 24LL * 3600 * 1'000'000;
};

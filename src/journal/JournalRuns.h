#pragma once

#include "competition/SubstituteTime.h"
#include "journal/JournalEntry.h"

#include <QString>
#include <atomic>
#include <optional>
#include <vector>

class JournalBackwardReader;

// The runs the journal tells of, in the order they were run, with what a substitute time needs
// of each: its start, the stop barrier's stop (A), System B's stop and the cell its time or
// state went to. Taken from the journal, they outlive a restart of the program.
class JournalRuns {
public:
    struct Run {
        qint64 start = 0;
        std::optional<qint64> stopA;
        std::optional<qint64> stopB;
        // The row's "Nr." and the column's caption the run's time or state last went to, and
        // the text; empty when the journal tells of no entry.
        QString number;
        QString column;
        QString cellText;

        bool operator==(const Run&) const = default;
    };

    // The name of the journal's command that enters a substitute or hand time.
    static QString substituteName() { return QStringLiteral("Ersatzzeit"); }
    // The remark that names the run of an event: "Start <stamp>", then the rest.
    static QString runRemark(qint64 startStamp, const QString& rest);
    // What a substitute entry's remark says after the run's start: the calculation; empty
    // for any other event.
    static QString calculationOf(const JournalEntry& entry);
    // The start stamp of the run an impulse or command belongs to; nullopt for any other event
    // and for stamps no run can have.
    static std::optional<qint64> runStartOf(const JournalEntry& entry);
    // Only commands and the cells they write tell of runs; line changes are most of a journal.
    static bool tellsOfRuns(const JournalEntry& entry);

    // Events oldest first.
    void see(const JournalEntry& entry);
    const std::vector<Run>& runs() const { return m_runs; }
    std::optional<int> indexOfStart(qint64 start) const;
    // The newest run whose time or state went into the column of the competitor's row.
    std::optional<int> lastEnteredInto(const QString& number, const QString& column) const;
    // A and B of every run as times from its start, for SubstituteTime; a stop that cannot
    // end its run (before the start, more than a day after it) is left out.
    std::vector<SubstituteTime::Run> times() const;

    // Reads back up to maxLines lines from the newest on; stops early, with what it has, once
    // `stop` is set.
    static JournalRuns read(JournalBackwardReader& reader, int maxLines = defaultLines,
                            const std::atomic<bool>* stop = nullptr);
    static constexpr int defaultLines = 400000;

private:
    std::optional<int> runAt(const std::optional<qint64>& start) const;

    std::vector<Run> m_runs;
    // The run whose cells follow its entry command, and the source they carry.
    std::optional<int> m_entering;
    QString m_enteringSource;
};

#pragma once

#include "competition/SubstituteTime.h"
#include "journal/JournalEntry.h"

#include <QHash>
#include <QString>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>

class JournalBackwardReader;

// The runs the journal tells of, read by one set of rules: a run begins with its "Start"; an
// entry ("Eintragen", "n.a.", "Ersatzzeit") names the run it belongs to in its remark or by its
// run time, and the cells it writes carry its source, the last of them naming the row and the
// column the run went to. Two views come of it:
// - the runs in the order they were run, with what a substitute time needs of each (its start,
//   the stop barrier's stop A, System B's stop and the cell its time or state went to), read
//   oldest first; taken from the journal, they outlive a restart of the program;
// - which start and stop stamps an entry already put into a table, and the "Nr." of its row,
//   read from either end: back from the newest, as a file is read from its end, and new events
//   as they happen.
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
    // The remark of a run time's entry: "Start <stamp>, Stopp <stamp>".
    static QString entryRemark(qint64 startStamp, qint64 stopStamp);
    // The remark that names the run of an event: "Start <stamp>", then the rest.
    static QString runRemark(qint64 startStamp, const QString& rest);
    // The start and stop stamps a run time's entry names; empty for any other event.
    static std::optional<std::pair<qint64, qint64>> enteredRunOf(const JournalEntry& entry);
    // What a substitute entry's remark says after the run's start: the calculation; empty
    // for any other event.
    static QString calculationOf(const JournalEntry& entry);
    // The start stamp of the run an impulse or command belongs to; nullopt for any other event
    // and for stamps no run can have.
    static std::optional<qint64> runStartOf(const JournalEntry& entry);
    // Only commands and the cells they write tell of runs; line changes are most of a journal.
    static bool tellsOfRuns(const JournalEntry& entry);

    // An event, oldest first: new events as they are recorded come here. True when it marked a
    // run as entered or named the row an entered run went to.
    bool see(const JournalEntry& entry);
    // An older event than all seen so far, reading back from the newest. Only the entered
    // stamps come of these: the runs are told from their start on.
    void seeOlder(const JournalEntry& entry);

    const std::vector<Run>& runs() const { return m_runs; }
    std::optional<int> indexOfStart(qint64 start) const;
    // The newest run whose time or state went into the column of the competitor's row.
    std::optional<int> lastEnteredInto(const QString& number, const QString& column) const;
    // A and B of every run as times from its start, for SubstituteTime; a stop that cannot
    // end its run (before the start, more than a day after it) is left out.
    std::vector<SubstituteTime::Run> times() const;

    // The "Nr." an entered run with this start (or stop) stamp went to (empty when the row had
    // none); nullopt when no such run was entered. Starts and stops are told apart, as a start
    // can carry the stamp of the stop before it.
    std::optional<QString> enteredAsStart(qint64 stamp) const;
    std::optional<QString> enteredAsStop(qint64 stamp) const;
    // The run from start to stop, or one that shares its start or its stop, was entered.
    std::optional<QString> enteredAs(qint64 startStamp, qint64 stopStamp) const;

    // Reads back up to maxLines lines from the newest on; stops early, with what it has, once
    // `stop` is set.
    static JournalRuns read(JournalBackwardReader& reader, int maxLines = defaultLines,
                            const std::atomic<bool>* stop = nullptr);
    static constexpr int defaultLines = 400000;

private:
    // An entry command: the run it names and the source the cells it writes carry.
    struct Entry {
        std::optional<qint64> start;
        std::optional<qint64> stop;
        QString cellSource;
    };
    static std::optional<Entry> entryOf(const JournalEntry& command);
    static bool isCellOf(const JournalEntry& cell, const QString& source);

    std::optional<int> runAt(const std::optional<qint64>& start) const;
    void seeRun(const JournalEntry& command, const std::optional<Entry>& entry);
    void markEntered(qint64 start, qint64 stop, const QString& number);

    std::vector<Run> m_runs;
    QHash<qint64, QString> m_enteredStarts;
    QHash<qint64, QString> m_enteredStops;
    // The entry whose cells follow, and the run of the list it belongs to.
    std::optional<Entry> m_entering;
    std::optional<int> m_enteringRun;
    // Reading back, the cells come before their entry: the row each source's cells went to,
    // since the last command seen.
    QHash<QString, QString> m_laterCellNumbers;
};

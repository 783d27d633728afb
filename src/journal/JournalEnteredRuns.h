#pragma once

#include "journal/JournalEntry.h"

#include <QHash>
#include <QString>
#include <optional>
#include <utility>

// Which runs of the journal are already in a table, as the journal itself tells: every entry
// of a run time ("Eintragen" by key, button, automatically or from the journal) names the
// start and stop stamps of its run, and the cells written with it name the row's "Nr.". The
// events can be seen from the newest back, as a file is read from its end, and new ones as
// they happen.
class JournalEnteredRuns {
public:
    // The remark of an entry: "Start <stamp>, Stopp <stamp>".
    static QString remark(qint64 startStamp, qint64 stopStamp);
    // The start and stop stamps of an entry event; empty for any other event.
    static std::optional<std::pair<qint64, qint64>> runOf(const JournalEntry& entry);

    // An older event than all seen so far (reading back from the newest).
    void seeOlder(const JournalEntry& entry);
    // A new event as it is recorded; true when it marked a run as entered or named its row.
    bool seeNewer(const JournalEntry& entry);

    // The "Nr." an entered run with this start (or stop) stamp went to (empty when the row had
    // none); nullopt when no such run was entered. Starts and stops are told apart, as a start
    // can carry the stamp of the stop before it.
    std::optional<QString> enteredAsStart(qint64 stamp) const;
    std::optional<QString> enteredAsStop(qint64 stamp) const;
    // The run from start to stop, or one that shares its start or its stop, was entered.
    std::optional<QString> enteredAs(qint64 startStamp, qint64 stopStamp) const;

private:
    static bool isEntryCell(const JournalEntry& entry);
    void mark(const std::pair<qint64, qint64>& run, const QString& number);

    QHash<qint64, QString> m_starts;
    QHash<qint64, QString> m_stops;
    // Reading back, the cells of an entry come before the entry itself.
    std::optional<QString> m_laterCellNumber;
    // As events come, the entry comes before its cells.
    std::optional<std::pair<qint64, qint64>> m_awaitingCells;
};

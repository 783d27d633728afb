#pragma once

#include "journal/JournalEntry.h"
#include "timing/LightBarrier.h"
#include "timing/RunClock.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class BackupStopLogic;
class BarrierLogic;
class CompetitionTable;
class TickSource;

// Turns what happens in the timing and in the heat start list into journal events: it listens
// to the run clock, the barrier logic, the port's line changes and the table, compares the
// table with its last copy to find what changed (old and new text), and hands every event to
// a sink (the journal writer) and to its listeners.
class JournalRecorder : public QObject {
    Q_OBJECT
public:
    using Sink = std::function<void(const JournalEntry&)>;
    using WallClock = std::function<QDateTime()>;
    // Who is giving the operator's command that is being handled ("Taste", "Knopf", ...).
    using SourceResolver = std::function<QString()>;

    // Without a wall clock the local time is used.
    JournalRecorder(const TickSource& ticks, Sink sink, WallClock wallClock = {},
                    QObject* parent = nullptr);

    void setSourceResolver(SourceResolver resolver) { m_resolver = std::move(resolver); }
    void watchClock(RunClock& clock);
    void watchBarriers(BarrierLogic& barriers);
    // System B: each of its stops with the run time it gives, and A minus B of each run that
    // has both.
    void watchBackupStop(BackupStopLogic& backup);
    // The table whose every change is journaled, from its present content on.
    void watchTable(CompetitionTable& table, const QString& name);

    void programStarted(const QString& version);
    void programEnded();
    // A file or table command the operator chose ("Neue", "Öffnen...", ...).
    void commandChosen(const QString& name);
    // Something the operator must be able to trace later, e.g. the light barriers' adapter
    // lost and found again.
    void note(const QString& name, const QString& remark = QString());
    // An event another part made up (a professional timer's impulse or unreadable line); its
    // wall-clock time is set here.
    void add(JournalEntry entry);
    // Journals the changes of the table not seen yet; called before the table goes to the
    // backup, so the backup never holds a result the journal lacks.
    void catchUpTable();
    // Puts a run time taken from two journal stamps into the table through `enter`; the
    // command and the cells it writes are journaled as coming from the journal.
    void enterFromJournal(qint64 startStamp, qint64 stopStamp, const std::function<void()>& enter);
    // Puts a confirmed substitute or hand time of the run begun at startStamp into the table
    // through `enter`; its calculation and the cells it writes are journaled with the run.
    void enterSubstitute(qint64 startStamp, qint64 resultMicroseconds, const QString& calculation,
                         const std::function<void()>& enter);

    static QString commandName(RunClock::Command command);
    static QString barrierName(LightBarrier barrier);
    static QString fromJournalSource() { return QStringLiteral("Zeitprotokoll"); }
    static QString timerSource() { return QStringLiteral("Zeitmessgerät"); }
    static QString backupStopName() { return QStringLiteral("Stopp B"); }
    static QString differenceName() { return QStringLiteral("A-B"); }
    // A minus B as the journal and "Zeitprotokoll..." show it: "+0,012 s".
    static QString differenceText(qint64 microseconds);

public Q_SLOTS:
    // One line change of the light-barrier port as it arrives (SerialPort::lineEvent).
    void lineChanged(quint32 changedEvents, quint32 status, qint64 stampMicroseconds);

Q_SIGNALS:
    void recorded(const JournalEntry& entry);

private:
    struct Context {
        QString source;
        std::optional<qint64> runMicroseconds;
    };

    JournalEntry make(JournalEntry::Kind kind) const;
    void record(const JournalEntry& entry);
    void clockCommand(RunClock::Command command, qint64 stamp, RunClock::Origin origin);
    QString operatorSource() const;
    void recordRow(JournalEntry::Kind kind, int row, const QStringList& cells);
    void recordCell(int row, int col, const QString& number, const QString& oldText,
                    const QString& newText);
    QString columnName(int col) const;

    const TickSource& m_ticks;
    Sink m_sink;
    WallClock m_wallClock;
    SourceResolver m_resolver;
    RunClock* m_clock = nullptr;
    CompetitionTable* m_table = nullptr;
    QString m_tableName;
    QList<QStringList> m_snapshot; // header row included
    std::optional<Context> m_context;
};

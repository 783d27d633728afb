#include "journal/JournalRecorder.h"

#include "competition/CompetitionTable.h"
#include "journal/JournalRuns.h"
#include "timing/BackupStopLogic.h"
#include "timing/BarrierLogic.h"
#include "timing/StuckLineWatch.h"
#include "timing/TickSource.h"

#include <QHash>

namespace {

using Kind = JournalEntry::Kind;

struct WatchedLine {
    quint32 eventBit;
    quint32 lineBit;
    const char16_t* name;
};

constexpr WatchedLine WatchedLines[] = {
    {BarrierLogic::startEventBit, BarrierLogic::startLineBit, u"DSR (Start)"},
    {BarrierLogic::lapEventBit, BarrierLogic::lapLineBit, u"DCD (Zwischen)"},
    {BarrierLogic::stopEventBit, BarrierLogic::stopLineBit, u"CTS (Stopp)"},
    {BackupStopLogic::eventBit, BackupStopLogic::lineBit, u"RI (Stopp B)"},
};

QString onOff(bool on) {
    return on ? QStringLiteral("Ein") : QStringLiteral("Aus");
}

bool rowEmpty(const QStringList& cells) {
    for (const QString& cell : cells)
        if (!cell.isEmpty())
            return false;
    return true;
}

// Rows are matched by "Nr.", repeated numbers in their order, so that sorting journals nothing
// and a row keeps its identity when rows above it come or go.
QString rowKey(const QStringList& cells, QHash<QString, int>& seen) {
    const QString number = cells.value(0);
    return number + u'#' + QString::number(seen[number]++);
}

} // namespace

JournalRecorder::JournalRecorder(const TickSource& ticks, Sink sink, WallClock wallClock,
                                 QObject* parent)
    : QObject(parent), m_ticks(ticks), m_sink(std::move(sink)),
      m_wallClock(wallClock ? std::move(wallClock) : [] { return QDateTime::currentDateTime(); }) {}

QString JournalRecorder::commandName(RunClock::Command command) {
    switch (command) {
    case RunClock::Command::Timer:
        return QStringLiteral("Timer");
    case RunClock::Command::Start:
        return QStringLiteral("Start");
    case RunClock::Command::Lap:
        return QStringLiteral("Zwischen");
    case RunClock::Command::Stop:
        return QStringLiteral("Stopp");
    case RunClock::Command::Enter:
        return QStringLiteral("Eintragen");
    case RunClock::Command::NotFinished:
        return QStringLiteral("Nicht im Ziel");
    case RunClock::Command::Reset:
        break;
    }
    return QStringLiteral("0,00");
}

QString JournalRecorder::barrierName(LightBarrier barrier) {
    using Line = StuckLineWatch::Line;
    return StuckLineWatch::barrierName(barrier == LightBarrier::Start          ? Line::Start
                                       : barrier == LightBarrier::Intermediate ? Line::Intermediate
                                                                               : Line::Stop);
}

void JournalRecorder::watchClock(RunClock& clock) {
    m_clock = &clock;
    connect(&clock, &RunClock::commandTaken, this, &JournalRecorder::clockCommand);
    // The entry of a run ends with the reset that follows it.
    connect(&clock, &RunClock::stateChanged, this, [this](RunClock::State state) {
        if (state == RunClock::State::Ready && m_context &&
            m_context->source != fromJournalSource()) {
            catchUpTable();
            m_context.reset();
        }
    });
}

void JournalRecorder::watchBarriers(BarrierLogic& barriers) {
    connect(&barriers, &BarrierLogic::toggledByOperator, this,
            [this](LightBarrier barrier, bool free) {
                JournalEntry e = make(Kind::Command);
                e.stamp = m_ticks.nowMicroseconds();
                e.name = barrierName(barrier);
                e.source = operatorSource();
                e.newText = free ? QStringLiteral("frei") : QStringLiteral("gesperrt");
                record(e);
            });
}

void JournalRecorder::watchBackupStop(BackupStopLogic& backup) {
    connect(&backup, &BackupStopLogic::backupStopTaken, this, [this](qint64 start, qint64 stopB) {
        JournalEntry e = make(Kind::Command);
        e.stamp = stopB;
        e.name = backupStopName();
        e.source = QStringLiteral("Lichtschranke B");
        e.runMicroseconds = stopB - start;
        record(e);
    });
    connect(&backup, &BackupStopLogic::differenceKnown, this, [this](const RunStops& run) {
        JournalEntry e = make(Kind::Command);
        e.stamp = qMax(*run.stopA, *run.stopB);
        e.name = differenceName();
        e.source = QStringLiteral("System A/B");
        e.newText = differenceText(*run.differenceMicroseconds());
        e.remark = JournalRuns::entryRemark(run.start, *run.stopA) +
                   QStringLiteral(", B %1").arg(*run.stopB);
        record(e);
    });
}

QString JournalRecorder::differenceText(qint64 microseconds) {
    const qint64 milliseconds = (qAbs(microseconds) + 500) / 1000;
    return QStringLiteral("%1%2,%3 s")
        .arg(QChar(microseconds < 0 ? u'-' : u'+'))
        .arg(milliseconds / 1000)
        .arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

void JournalRecorder::watchTable(CompetitionTable& table, const QString& name) {
    m_table = &table;
    m_tableName = name;
    m_snapshot.clear();
    for (int row = 0; row < table.rowsWithHeader(); ++row)
        m_snapshot.append(table.rowCells(row));
    const auto changed = [this] {
        catchUpTable();
    };
    connect(&table, &QAbstractItemModel::dataChanged, this, changed);
    connect(&table, &QAbstractItemModel::modelReset, this, changed);
    connect(&table, &QAbstractItemModel::layoutChanged, this, changed);
    connect(&table, &QAbstractItemModel::rowsInserted, this, changed);
    connect(&table, &QAbstractItemModel::rowsRemoved, this, changed);
}

void JournalRecorder::programStarted(const QString& version) {
    JournalEntry e = make(Kind::ProgramStart);
    e.stamp = m_ticks.nowMicroseconds();
    e.remark = version;
    record(e);
}

void JournalRecorder::programEnded() {
    catchUpTable();
    JournalEntry e = make(Kind::ProgramEnd);
    e.stamp = m_ticks.nowMicroseconds();
    record(e);
}

void JournalRecorder::commandChosen(const QString& name) {
    JournalEntry e = make(Kind::Command);
    e.stamp = m_ticks.nowMicroseconds();
    e.name = name;
    e.source = operatorSource();
    record(e);
}

void JournalRecorder::note(const QString& name, const QString& remark) {
    JournalEntry e = make(Kind::Note);
    e.stamp = m_ticks.nowMicroseconds();
    e.name = name;
    e.remark = remark;
    record(e);
}

void JournalRecorder::enterFromJournal(qint64 startStamp, qint64 stopStamp,
                                       const std::function<void()>& enter) {
    catchUpTable();
    JournalEntry e = make(Kind::Command);
    e.stamp = m_ticks.nowMicroseconds();
    e.name = commandName(RunClock::Command::Enter);
    e.source = fromJournalSource();
    e.runMicroseconds = stopStamp - startStamp;
    e.remark = JournalRuns::entryRemark(startStamp, stopStamp);
    record(e);
    m_context = Context{fromJournalSource(), stopStamp - startStamp};
    enter();
    catchUpTable();
    m_context.reset();
}

void JournalRecorder::enterSubstitute(qint64 startStamp, qint64 resultMicroseconds,
                                      const QString& calculation,
                                      const std::function<void()>& enter) {
    catchUpTable();
    JournalEntry e = make(Kind::Command);
    e.stamp = m_ticks.nowMicroseconds();
    e.name = JournalRuns::substituteName();
    e.source = operatorSource();
    e.runMicroseconds = resultMicroseconds;
    e.remark = JournalRuns::runRemark(startStamp, calculation);
    record(e);
    m_context = Context{e.name, resultMicroseconds};
    enter();
    catchUpTable();
    m_context.reset();
}

void JournalRecorder::add(JournalEntry entry) {
    entry.wallClock = make(entry.kind).wallClock;
    record(entry);
}

void JournalRecorder::lineChanged(quint32 changedEvents, quint32 status, qint64 stamp) {
    for (const WatchedLine& line : WatchedLines) {
        if ((changedEvents & line.eventBit) == 0)
            continue;
        const bool on = (status & line.lineBit) != 0;
        JournalEntry e = make(Kind::LineChange);
        e.stamp = stamp;
        e.name = QString::fromUtf16(line.name);
        e.oldText = onOff(!on);
        e.newText = onOff(on);
        e.remark = QStringLiteral("0x%1").arg(status, 2, 16, QLatin1Char('0'));
        record(e);
    }
}

void JournalRecorder::clockCommand(RunClock::Command command, qint64 stamp,
                                   RunClock::Origin origin) {
    using Command = RunClock::Command;
    JournalEntry e = make(Kind::Command);
    e.stamp = stamp;
    e.name = commandName(command);
    switch (origin) {
    case RunClock::Origin::Operator:
        e.source = operatorSource();
        break;
    case RunClock::Origin::Barrier:
        e.source = QStringLiteral("Lichtschranke");
        break;
    case RunClock::Origin::Automatic:
        e.source = QStringLiteral("automatisch");
        break;
    case RunClock::Origin::Timer:
        e.source = timerSource();
        break;
    }
    const RunClock& clock = *m_clock;
    if (command == Command::Lap)
        e.runMicroseconds = stamp - clock.startStamp();
    else if (command == Command::Stop || command == Command::Enter ||
             command == Command::NotFinished)
        e.runMicroseconds = clock.stopStamp() - clock.startStamp();
    // The entry names its run, so the journal shows which runs are in the table.
    if (command == Command::Enter)
        e.remark = JournalRuns::entryRemark(clock.startStamp(), clock.stopStamp());
    else if (command == Command::Reset && clock.state() == RunClock::State::Stopped) {
        e.runMicroseconds = clock.stopStamp() - clock.startStamp();
        e.remark = QStringLiteral("nicht eingetragen");
    }
    record(e);
    if (command == Command::Enter || command == Command::NotFinished) {
        catchUpTable();
        m_context = Context{e.name, e.runMicroseconds};
    }
}

QString JournalRecorder::operatorSource() const {
    const QString source = m_resolver ? m_resolver() : QString();
    return source.isEmpty() ? QStringLiteral("Programm") : source;
}

void JournalRecorder::catchUpTable() {
    if (!m_table)
        return;
    const CompetitionTable& table = *m_table;
    QList<QStringList> now;
    now.reserve(table.rowsWithHeader());
    for (int row = 0; row < table.rowsWithHeader(); ++row)
        now.append(table.rowCells(row));
    const QList<QStringList> before = std::exchange(m_snapshot, now);
    if (before == now)
        return;

    QHash<QString, int> oldRows;
    QHash<QString, int> seen;
    for (int row = 1; row < before.size(); ++row)
        oldRows.insert(rowKey(before[row], seen), row);
    seen.clear();
    QList<bool> kept(before.size(), false);
    for (int row = 1; row < now.size(); ++row) {
        const QStringList& cells = now[row];
        const auto old = oldRows.constFind(rowKey(cells, seen));
        if (old == oldRows.constEnd()) {
            if (!rowEmpty(cells))
                recordRow(Kind::RowAdded, row, cells);
            continue;
        }
        kept[*old] = true;
        const QStringList& previous = before[*old];
        const auto columns = qMax(cells.size(), previous.size());
        for (int col = 0; col < columns; ++col)
            if (cells.value(col) != previous.value(col))
                recordCell(row, col, cells.value(0), previous.value(col), cells.value(col));
    }
    for (int row = 1; row < before.size(); ++row)
        if (!kept[row] && !rowEmpty(before[row]))
            recordRow(Kind::RowRemoved, row, before[row]);
}

void JournalRecorder::recordRow(Kind kind, int row, const QStringList& cells) {
    JournalEntry e = make(kind);
    e.table = m_tableName;
    e.row = row;
    e.number = cells.value(0);
    (kind == Kind::RowAdded ? e.newText : e.oldText) = cells.join(QStringLiteral(" | "));
    if (m_context)
        e.source = m_context->source;
    record(e);
    // Every text the new row brings is journaled as a cell of its own, results included.
    if (kind == Kind::RowAdded)
        for (int col = 0; col < cells.size(); ++col)
            if (!cells[col].isEmpty())
                recordCell(row, col, cells.value(0), QString(), cells[col]);
}

void JournalRecorder::recordCell(int row, int col, const QString& number, const QString& oldText,
                                 const QString& newText) {
    JournalEntry e = make(Kind::Cell);
    e.table = m_tableName;
    e.row = row;
    e.number = number;
    e.column = columnName(col);
    e.oldText = oldText;
    e.newText = newText;
    if (m_context) {
        e.source = m_context->source;
        e.runMicroseconds = m_context->runMicroseconds;
    }
    record(e);
}

QString JournalRecorder::columnName(int col) const {
    const QString caption = m_snapshot.isEmpty() ? QString() : m_snapshot[0].value(col);
    return caption.isEmpty() ? QStringLiteral("Spalte %1").arg(col + 1) : caption;
}

JournalEntry JournalRecorder::make(Kind kind) const {
    JournalEntry e;
    e.kind = kind;
    e.wallClock = m_wallClock();
    return e;
}

void JournalRecorder::record(const JournalEntry& entry) {
    if (m_sink)
        m_sink(entry);
    Q_EMIT recorded(entry);
}

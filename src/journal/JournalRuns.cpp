#include "journal/JournalRuns.h"

#include "journal/JournalBackwardReader.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRecovery.h"
#include "timing/RunClock.h"

#include <QRegularExpression>
#include <QtNumeric>

namespace {

using Kind = JournalEntry::Kind;

bool isCommand(const JournalEntry& e, const QString& name) {
    return e.kind == Kind::Command && e.stamp && e.name == name;
}

QString commandName(RunClock::Command command) {
    return JournalRecorder::commandName(command);
}

// A stop's time from its run's start. Stamps read from a damaged or edited file can be
// anything: a span that overflows or that no run can have is none.
std::optional<qint64> spanOf(qint64 start, qint64 stop) {
    qint64 span = 0;
    if (qSubOverflow(stop, start, &span) || span <= 0 ||
        span > JournalRecovery::longestRunMicroseconds)
        return std::nullopt;
    return span;
}

// The third field of a line is the kind of its event: the lines of other kinds than commands
// and cells are left unparsed.
bool mayTellOfRuns(const QByteArray& line) {
    static const QByteArray command = JournalEntry::kindText(Kind::Command).toUtf8();
    static const QByteArray cell = JournalEntry::kindText(Kind::Cell).toUtf8();
    const qsizetype first = line.indexOf('\t');
    const qsizetype second = first < 0 ? -1 : line.indexOf('\t', first + 1);
    const qsizetype third = second < 0 ? -1 : line.indexOf('\t', second + 1);
    if (third < 0)
        return true; // damaged: the reader counts it
    const QByteArrayView kind = QByteArrayView(line).sliced(second + 1, third - second - 1);
    return kind == command || kind == cell;
}

std::optional<QString> found(const QHash<qint64, QString>& marks, qint64 stamp) {
    const auto it = marks.constFind(stamp);
    return it == marks.constEnd() ? std::nullopt : std::optional<QString>(*it);
}

} // namespace

bool JournalRuns::tellsOfRuns(const JournalEntry& e) {
    return e.kind == Kind::Command || (e.kind == Kind::Cell && !e.source.isEmpty());
}

QString JournalRuns::entryRemark(qint64 startStamp, qint64 stopStamp) {
    return QStringLiteral("Start %1, Stopp %2").arg(startStamp).arg(stopStamp);
}

QString JournalRuns::runRemark(qint64 startStamp, const QString& rest) {
    return QStringLiteral("Start %1; ").arg(startStamp) + rest;
}

std::optional<std::pair<qint64, qint64>> JournalRuns::enteredRunOf(const JournalEntry& e) {
    if (e.kind != Kind::Command || e.name != commandName(RunClock::Command::Enter))
        return std::nullopt;
    static const QRegularExpression pattern(QStringLiteral("^Start (-?\\d+), Stopp (-?\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(e.remark);
    bool startOk = false;
    bool stopOk = false;
    const qint64 start = match.hasMatch() ? match.captured(1).toLongLong(&startOk) : 0;
    const qint64 stop = match.hasMatch() ? match.captured(2).toLongLong(&stopOk) : 0;
    if (!startOk || !stopOk)
        return std::nullopt;
    return std::make_pair(start, stop);
}

QString JournalRuns::calculationOf(const JournalEntry& e) {
    if (!isCommand(e, substituteName()))
        return QString();
    const qsizetype rest = e.remark.indexOf(QStringLiteral("; "));
    return rest < 0 ? QString() : e.remark.mid(rest + 2);
}

std::optional<qint64> JournalRuns::runStartOf(const JournalEntry& e) {
    if (e.kind != Kind::Command)
        return std::nullopt;
    if (isCommand(e, commandName(RunClock::Command::Start)))
        return e.stamp;
    static const QRegularExpression named(QStringLiteral("^Start (-?\\d+)\\b"));
    if (const QRegularExpressionMatch match = named.match(e.remark); match.hasMatch()) {
        bool ok = false;
        const qint64 start = match.captured(1).toLongLong(&ok);
        if (ok)
            return start;
    }
    // These carry the stamp of their own moment and the run time up to it.
    const bool fromStart = isCommand(e, commandName(RunClock::Command::Stop)) ||
                           isCommand(e, commandName(RunClock::Command::Lap)) ||
                           isCommand(e, commandName(RunClock::Command::NotFinished)) ||
                           isCommand(e, JournalRecorder::backupStopName());
    qint64 start = 0;
    if (!fromStart || !e.runMicroseconds || qSubOverflow(*e.stamp, *e.runMicroseconds, &start))
        return std::nullopt;
    return start;
}

std::optional<JournalRuns::Entry> JournalRuns::entryOf(const JournalEntry& e) {
    if (e.kind != Kind::Command ||
        (e.name != commandName(RunClock::Command::Enter) &&
         e.name != commandName(RunClock::Command::NotFinished) && e.name != substituteName()))
        return std::nullopt;
    Entry entry;
    entry.start = runStartOf(e);
    if (const auto run = enteredRunOf(e)) {
        entry.start = run->first;
        entry.stop = run->second;
    }
    // The cells an entry writes carry the entry's name, or the journal's for a run entered
    // from "Zeitprotokoll".
    entry.cellSource = e.source == JournalRecorder::fromJournalSource()
                           ? JournalRecorder::fromJournalSource()
                           : e.name;
    return entry;
}

bool JournalRuns::isCellOf(const JournalEntry& cell, const QString& source) {
    return cell.kind == Kind::Cell && !source.isEmpty() && cell.source == source &&
           !cell.newText.trimmed().isEmpty();
}

std::optional<int> JournalRuns::indexOfStart(qint64 start) const {
    // Runs asked for are mostly among the newest.
    for (int i = static_cast<int>(m_runs.size()) - 1; i >= 0; --i)
        if (m_runs[static_cast<size_t>(i)].start == start)
            return i;
    return std::nullopt;
}

std::optional<int> JournalRuns::runAt(const std::optional<qint64>& start) const {
    return start ? indexOfStart(*start) : std::nullopt;
}

void JournalRuns::markEntered(qint64 start, qint64 stop, const QString& number) {
    m_enteredStarts.insert(start, number);
    m_enteredStops.insert(stop, number);
}

bool JournalRuns::see(const JournalEntry& e) {
    if (e.kind == Kind::Cell) {
        if (!m_entering || !isCellOf(e, m_entering->cellSource))
            return false;
        if (m_enteringRun) {
            Run& run = m_runs[static_cast<size_t>(*m_enteringRun)];
            run.number = e.number.trimmed();
            run.column = e.column;
            run.cellText = e.newText.trimmed();
        }
        if (!m_entering->stop)
            return false;
        markEntered(*m_entering->start, *m_entering->stop, e.number);
        return true;
    }
    if (e.kind != Kind::Command)
        return false;
    m_entering = entryOf(e);
    m_enteringRun.reset();
    seeRun(e, m_entering);
    if (!m_entering || !m_entering->stop)
        return false;
    markEntered(*m_entering->start, *m_entering->stop, QString());
    return true;
}

void JournalRuns::seeRun(const JournalEntry& e, const std::optional<Entry>& entry) {
    if (isCommand(e, commandName(RunClock::Command::Start))) {
        if (!indexOfStart(*e.stamp))
            m_runs.push_back(Run{*e.stamp, std::nullopt, std::nullopt, {}, {}, {}});
        return;
    }
    const std::optional<int> index = runAt(entry ? entry->start : runStartOf(e));
    if (!index)
        return;
    Run& run = m_runs[static_cast<size_t>(*index)];
    // A stop by key is the operator's time, not the stop barrier's.
    if (isCommand(e, commandName(RunClock::Command::Stop)) &&
        e.source == QStringLiteral("Lichtschranke")) {
        if (!run.stopA)
            run.stopA = e.stamp;
    } else if (isCommand(e, JournalRecorder::backupStopName())) {
        if (!run.stopB)
            run.stopB = e.stamp;
    } else if (entry) {
        m_enteringRun = index;
    }
}

void JournalRuns::seeOlder(const JournalEntry& e) {
    if (e.kind == Kind::Cell) {
        // Reading back, the first cell of a source met is the last its entry wrote.
        if (isCellOf(e, e.source) && !m_laterCellNumbers.contains(e.source))
            m_laterCellNumbers.insert(e.source, e.number);
        return;
    }
    if (e.kind != Kind::Command)
        return;
    // A start or stop entered twice keeps the newer row, as reading forward does.
    if (const std::optional<Entry> entry = entryOf(e); entry && entry->stop) {
        const QString number = m_laterCellNumbers.value(entry->cellSource);
        if (!m_enteredStarts.contains(*entry->start))
            m_enteredStarts.insert(*entry->start, number);
        if (!m_enteredStops.contains(*entry->stop))
            m_enteredStops.insert(*entry->stop, number);
    }
    m_laterCellNumbers.clear();
}

std::optional<QString> JournalRuns::enteredAsStart(qint64 stamp) const {
    return found(m_enteredStarts, stamp);
}

std::optional<QString> JournalRuns::enteredAsStop(qint64 stamp) const {
    return found(m_enteredStops, stamp);
}

std::optional<QString> JournalRuns::enteredAs(qint64 startStamp, qint64 stopStamp) const {
    if (const auto number = enteredAsStop(stopStamp))
        return number;
    return enteredAsStart(startStamp);
}

std::optional<int> JournalRuns::lastEnteredInto(const QString& number,
                                                const QString& column) const {
    const QString nr = number.trimmed();
    for (int i = static_cast<int>(m_runs.size()) - 1; i >= 0; --i) {
        const Run& run = m_runs[static_cast<size_t>(i)];
        if (!nr.isEmpty() && run.number == nr && run.column == column)
            return i;
    }
    return std::nullopt;
}

std::vector<SubstituteTime::Run> JournalRuns::times() const {
    std::vector<SubstituteTime::Run> times;
    times.reserve(m_runs.size());
    for (const Run& run : m_runs) {
        SubstituteTime::Run t;
        if (run.stopA)
            t.aMicroseconds = spanOf(run.start, *run.stopA);
        if (run.stopB)
            t.bMicroseconds = spanOf(run.start, *run.stopB);
        times.push_back(t);
    }
    return times;
}

JournalRuns JournalRuns::read(JournalBackwardReader& reader, int maxLines,
                              const std::atomic<bool>* stop) {
    std::vector<JournalEntry> newestFirst;
    int lines = 0;
    constexpr int LinesPerRead = 4000;
    while (!reader.atBeginning() && lines < maxLines && !(stop && stop->load())) {
        for (JournalEntry& e : reader.readOlder(LinesPerRead, mayTellOfRuns))
            if (tellsOfRuns(e))
                newestFirst.push_back(std::move(e));
        lines += LinesPerRead;
    }
    JournalRuns runs;
    for (auto it = newestFirst.rbegin(); it != newestFirst.rend(); ++it)
        runs.see(*it);
    return runs;
}

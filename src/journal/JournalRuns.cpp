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

} // namespace

bool JournalRuns::tellsOfRuns(const JournalEntry& e) {
    return e.kind == Kind::Command || (e.kind == Kind::Cell && !e.source.isEmpty());
}

QString JournalRuns::runRemark(qint64 startStamp, const QString& rest) {
    return QStringLiteral("Start %1; ").arg(startStamp) + rest;
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

void JournalRuns::see(const JournalEntry& e) {
    if (e.kind == Kind::Cell) {
        if (m_entering && e.source == m_enteringSource && !e.newText.trimmed().isEmpty()) {
            Run& run = m_runs[static_cast<size_t>(*m_entering)];
            run.number = e.number.trimmed();
            run.column = e.column;
            run.cellText = e.newText.trimmed();
        }
        return;
    }
    if (e.kind != Kind::Command)
        return;
    m_entering.reset();
    if (isCommand(e, commandName(RunClock::Command::Start))) {
        if (!indexOfStart(*e.stamp))
            m_runs.push_back(Run{*e.stamp, std::nullopt, std::nullopt, {}, {}, {}});
        return;
    }
    const std::optional<int> index = runAt(runStartOf(e));
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
    } else if (e.name == commandName(RunClock::Command::Enter) ||
               e.name == commandName(RunClock::Command::NotFinished) ||
               e.name == substituteName()) {
        m_entering = index;
        // The cells an entry writes carry the entry's name, or the journal's for a run
        // entered from "Zeitprotokoll".
        m_enteringSource = e.source == JournalRecorder::fromJournalSource()
                               ? JournalRecorder::fromJournalSource()
                               : e.name;
    }
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

#include "journal/JournalEnteredRuns.h"

#include "journal/JournalRecorder.h"
#include "timing/RunClock.h"

#include <QRegularExpression>

QString JournalEnteredRuns::remark(qint64 startStamp, qint64 stopStamp) {
    return QStringLiteral("Start %1, Stopp %2").arg(startStamp).arg(stopStamp);
}

std::optional<std::pair<qint64, qint64>> JournalEnteredRuns::runOf(const JournalEntry& entry) {
    if (entry.kind != JournalEntry::Kind::Command ||
        entry.name != JournalRecorder::commandName(RunClock::Command::Enter))
        return std::nullopt;
    static const QRegularExpression pattern(QStringLiteral("^Start (-?\\d+), Stopp (-?\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(entry.remark);
    bool startOk = false;
    bool stopOk = false;
    const qint64 start = match.hasMatch() ? match.captured(1).toLongLong(&startOk) : 0;
    const qint64 stop = match.hasMatch() ? match.captured(2).toLongLong(&stopOk) : 0;
    if (!startOk || !stopOk)
        return std::nullopt;
    return std::make_pair(start, stop);
}

bool JournalEnteredRuns::isEntryCell(const JournalEntry& entry) {
    return (entry.kind == JournalEntry::Kind::Cell || entry.kind == JournalEntry::Kind::RowAdded) &&
           !entry.newText.isEmpty() &&
           (entry.source == JournalRecorder::commandName(RunClock::Command::Enter) ||
            entry.source == JournalRecorder::fromJournalSource());
}

void JournalEnteredRuns::mark(const std::pair<qint64, qint64>& run, const QString& number) {
    m_starts.insert(run.first, number);
    m_stops.insert(run.second, number);
}

void JournalEnteredRuns::seeOlder(const JournalEntry& entry) {
    if (isEntryCell(entry)) {
        m_laterCellNumber = entry.number;
        return;
    }
    if (const auto run = runOf(entry)) {
        // A run entered twice keeps the newer row.
        if (!m_stops.contains(run->second))
            mark(*run, m_laterCellNumber.value_or(QString()));
        m_laterCellNumber.reset();
    } else if (entry.kind == JournalEntry::Kind::Command) {
        m_laterCellNumber.reset();
    }
}

bool JournalEnteredRuns::seeNewer(const JournalEntry& entry) {
    if (const auto run = runOf(entry)) {
        mark(*run, QString());
        m_awaitingCells = run;
        return true;
    }
    if (isEntryCell(entry) && m_awaitingCells) {
        mark(*m_awaitingCells, entry.number);
        m_awaitingCells.reset();
        return true;
    }
    if (entry.kind == JournalEntry::Kind::Command)
        m_awaitingCells.reset();
    return false;
}

std::optional<QString> JournalEnteredRuns::enteredAsStart(qint64 stamp) const {
    const auto it = m_starts.constFind(stamp);
    return it == m_starts.constEnd() ? std::nullopt : std::optional<QString>(*it);
}

std::optional<QString> JournalEnteredRuns::enteredAsStop(qint64 stamp) const {
    const auto it = m_stops.constFind(stamp);
    return it == m_stops.constEnd() ? std::nullopt : std::optional<QString>(*it);
}

std::optional<QString> JournalEnteredRuns::enteredAs(qint64 startStamp, qint64 stopStamp) const {
    if (const auto number = enteredAsStop(stopStamp))
        return number;
    return enteredAsStart(startStamp);
}

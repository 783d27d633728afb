#include "live/LiveSnapshotBuilder.h"

#include "competition/CellPresentation.h"
#include "competition/ClassTop3.h"
#include "competition/Competition.h"
#include "competition/RunState.h"
#include "competition/StageTables.h"
#include "output/ProtocolPage.h"
#include "timing/RunClock.h"

namespace {

const QString SubstituteMark = QStringLiteral("substitute");

// A state is marked where the screen gives it the state's colour, in a time column; a name
// that reads "DNS" stays a name.
QString markOf(const Competition& competition, const CompetitionTable& table, int col, int row) {
    const QString& text = table.cell(col, row);
    if (const std::optional<RunState::Kind> state = RunState::fromText(text)) {
        const CellFormat format =
            CellPresentation::format(table, col, row, false, competition.timeFormat());
        return format.background == CellPresentation::StateBackground ? RunState::text(*state)
                                                                      : QString();
    }
    if (CellPresentation::isSubstitute(table, col, row, competition.substitutes()))
        return SubstituteMark;
    return QString();
}

// The rows shown are the table's rows that are not entirely empty; cells and marks are
// gathered in one walk so that a mark's index is the row's index on the page.
LiveSnapshot::Table gather(const CompetitionTable& table, const QString& caption,
                           const Competition* competition) {
    LiveSnapshot::Table result;
    result.caption = caption.trimmed();
    const int columns = ProtocolPage::pageColumnCount(table);
    for (int col = 0; col < columns; ++col)
        result.header.append(table.cell(col, 0));
    for (int row = 1; row < table.rowsWithHeader(); ++row) {
        if (table.isRowEmpty(row))
            continue;
        QStringList cells;
        cells.reserve(columns);
        for (int col = 0; col < columns; ++col) {
            cells.append(table.cell(col, row));
            const QString mark = competition ? markOf(*competition, table, col, row) : QString();
            if (!mark.isEmpty())
                result.marks[static_cast<int>(result.rows.size())].insert(col, mark);
        }
        result.rows.append(cells);
    }
    return result;
}

} // namespace

namespace LiveSnapshotBuilder {

LiveSnapshot::Table stageTable(const CompetitionTable& table, const QString& caption) {
    return gather(table, caption, nullptr);
}

LiveSnapshot::Table stageTable(const Competition& competition, int page, const QString& caption) {
    return gather(competition.stageTable(page), caption, &competition);
}

LiveSnapshot::Table teamTable(const CompetitionTable& teams) {
    LiveSnapshot::Table result;
    result.caption = QStringLiteral("Mannschaften");
    result.header = {QStringLiteral("Pl."), QStringLiteral("Verein / Ort"), QStringLiteral("Summe"),
                     QStringLiteral("1."),  QStringLiteral("2."),           QStringLiteral("3.")};
    // Teams with fewer than three members are blank rows at the bottom of the ranking.
    for (int row = 1; row < teams.rowsWithHeader(); ++row) {
        if (teams.cell(1, row).isEmpty() && teams.cell(2, row).isEmpty())
            continue;
        result.rows.append({QString::number(result.rows.size() + 1), teams.cell(1, row),
                            teams.cell(0, row), teams.cell(2, row), teams.cell(3, row),
                            teams.cell(4, row)});
    }
    return result;
}

QList<LiveSnapshot::Top3Row> top3(const CompetitionTable& finalResults) {
    QList<LiveSnapshot::Top3Row> rows;
    for (const ClassTop3& block : ClassTop3::collect(finalResults)) {
        for (const ClassTop3::Entry& entry : block.entries) {
            LiveSnapshot::Top3Row row;
            row.place = entry.place + u'.';
            row.number = entry.number;
            row.name = entry.name + u' ' + entry.firstName;
            row.klass = block.className;
            row.champion = entry.champion;
            row.time = entry.time;
            rows.append(row);
        }
    }
    return rows;
}

LiveSnapshot::Clock clockOf(const RunClock& clock) {
    using State = LiveSnapshot::Clock::State;
    LiveSnapshot::Clock result;
    result.startMs = static_cast<double>(clock.startStamp()) / 1000.0;
    switch (clock.state()) {
    case RunClock::State::Ready:
        result.state = State::Ready;
        result.readyMs = clock.countdownActive() ? clock.timerMs() : 0;
        break;
    case RunClock::State::Countdown:
        result.state = State::Countdown;
        result.countdownMs = clock.timerMs();
        break;
    case RunClock::State::Running:
        result.state = State::Running;
        result.intermediateMs = clock.intermediateTime();
        break;
    case RunClock::State::Stopped:
        result.state = State::Stopped;
        result.stoppedMs = clock.runTime();
        result.intermediateMs = clock.intermediateTime();
        break;
    }
    return result;
}

LiveSnapshot build(const Competition& competition, const RunClock& clock,
                   const WindowTexts& texts) {
    LiveSnapshot snapshot;
    snapshot.title = texts.title;
    snapshot.competitor = texts.competitor;
    snapshot.club = texts.club;
    snapshot.lastResult = texts.lastResult;
    snapshot.clock = clockOf(clock);
    const QStringList captions = StageTables::pageCaptions();
    for (int page = 0; page < 4; ++page)
        snapshot.stages[page] = stageTable(competition, page, captions.value(page));
    snapshot.teams = teamTable(competition.teams());
    snapshot.top3 = top3(competition.finalResults());
    snapshot.timeFormat = competition.timeFormat().setting();
    snapshot.decimalSeparator = competition.timeFormat().decimalSeparator();
    snapshot.release = release(competition);
    return snapshot;
}

LiveSnapshot::Release release(const Competition& competition) {
    LiveSnapshot::Release release;
    release.text = competition.releaseText();
    for (const ResultRelease::ClassState& state :
         competition.release().classes(competition.heatStartList())) {
        if (state.hasResults)
            release.classes.append({state.klass, state.released});
    }
    return release;
}

} // namespace LiveSnapshotBuilder

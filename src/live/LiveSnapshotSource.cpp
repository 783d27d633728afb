#include "live/LiveSnapshotSource.h"

#include "competition/Competition.h"
#include "competition/RunState.h"
#include "live/LiveSnapshotBuilder.h"
#include "timing/RunClock.h"

LiveSnapshotSource::LiveSnapshotSource(const LiveInputs& inputs, QObject* parent)
    : QObject(parent), m_competition(inputs.competition), m_clock(inputs.clock),
      m_text(inputs.text) {
    for (const CompetitionTable* table :
         {&m_competition.heatStartList(), &m_competition.heatResults(),
          &m_competition.finalStartList(), &m_competition.finalResults(), &m_competition.teams()}) {
        connect(table, &QAbstractItemModel::dataChanged, this, &LiveSnapshotSource::changed);
        connect(table, &QAbstractItemModel::modelReset, this, &LiveSnapshotSource::changed);
        connect(table, &QAbstractItemModel::rowsInserted, this, &LiveSnapshotSource::changed);
        connect(table, &QAbstractItemModel::rowsRemoved, this, &LiveSnapshotSource::changed);
        connect(table, &QAbstractItemModel::layoutChanged, this, &LiveSnapshotSource::changed);
        connect(table, &QAbstractItemModel::headerDataChanged, this, &LiveSnapshotSource::changed);
    }
    // A substitute mark changes no cell's text, yet the pages show it.
    connect(&m_competition, &Competition::substituteMarksChanged, this,
            &LiveSnapshotSource::changed);
    connect(&m_clock, &RunClock::stateChanged, this, &LiveSnapshotSource::clockChanged);
    connect(&m_clock, &RunClock::runNotFinished, this, [this] {
        const QString dnf = RunState::text(RunState::DNF);
        m_lastResult =
            LiveSnapshot::Result{m_text().competitor, m_text().club, dnf, ++m_entries, dnf};
        Q_EMIT changed();
    });
    connect(&m_clock, &RunClock::runProgressed, this, &LiveSnapshotSource::changed);
}

void LiveSnapshotSource::resultEntered(const QString& competitor, const QString& club,
                                       const QString& time) {
    m_lastResult = LiveSnapshot::Result{competitor, club, time, ++m_entries};
    Q_EMIT changed();
}

void LiveSnapshotSource::forgetLastResult() {
    m_lastResult.reset();
}

void LiveSnapshotSource::setCup(std::optional<LiveSnapshot::Cup> cup) {
    if (cup == m_cup)
        return;
    m_cup = std::move(cup);
    Q_EMIT changed();
}

LiveSnapshot LiveSnapshotSource::snapshot() const {
    const AudienceText text = m_text();
    LiveSnapshotBuilder::WindowTexts texts;
    texts.title = text.title;
    texts.competitor = text.competitor;
    texts.club = text.club;
    texts.lastResult = m_lastResult;
    LiveSnapshot snapshot = LiveSnapshotBuilder::build(m_competition, m_clock, texts);
    snapshot.cup = m_cup;
    return snapshot;
}

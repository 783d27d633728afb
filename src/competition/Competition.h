#pragma once

#include "competition/CompetitionTable.h"
#include "competition/ResultRelease.h"
#include "competition/SubstituteMarks.h"
#include "competition/TimeFormat.h"

#include <QObject>
#include <QString>
#include <array>

struct SubstituteSource;

// The five competition tables, the time format they are read with and the messages of the
// last derivation. The heat start list is the competition; everything else is derived from it.
class Competition : public QObject {
    Q_OBJECT
public:
    explicit Competition(const TimeFormat& format = TimeFormat(), QObject* parent = nullptr);

    CompetitionTable& heatStartList() { return *m_grids[0]; }  // heatStartListTable
    CompetitionTable& heatResults() { return *m_grids[1]; }    // SortGrid2
    CompetitionTable& finalStartList() { return *m_grids[2]; } // SortGrid3
    CompetitionTable& finalResults() { return *m_grids[3]; }   // SortGrid4
    CompetitionTable& teams() { return *m_teams; }             // SortGridTeam
    const CompetitionTable& heatStartList() const { return *m_grids[0]; }
    const CompetitionTable& heatResults() const { return *m_grids[1]; }
    const CompetitionTable& finalStartList() const { return *m_grids[2]; }
    const CompetitionTable& finalResults() const { return *m_grids[3]; }
    const CompetitionTable& teams() const { return *m_teams; }

    // Stage table by page index 0..3 (tag = page + 1).
    CompetitionTable& stageTable(int page) { return *m_grids[qBound(0, page, 3)]; }
    const CompetitionTable& stageTable(int page) const { return *m_grids[qBound(0, page, 3)]; }

    const TimeFormat& timeFormat() const { return m_format; }
    void setTimeFormat(const TimeFormat& format);

    // StageMessage per derived stage 1..3.
    QString stageMessage(int stage) const;
    void setStageMessage(int stage, const QString& text);
    void clearStageMessages();

    // Writes the designed captions into the header rows of the derived tables and, separately,
    // of the heat start list (its captions may come from a loaded file instead).
    void writeDerivedHeaders();
    void writeHeatStartListHeader();

    // The substitute times among the heat start list's runs; whoever changes them says so with
    // substituteMarksChanged().
    SubstituteMarks& substituteMarks() { return m_substituteMarks; }
    const SubstituteMarks& substituteMarks() const { return m_substituteMarks; }
    // What the stage tables' views and pages read their substitute times from.
    SubstituteSource substitutes() const;

    // Which classes' results are official; whoever changes it says so with releaseChanged().
    ResultRelease& release() { return m_release; }
    const ResultRelease& release() const { return m_release; }
    // The heading of every output: whether the results it shows are official.
    QString releaseText() const { return m_release.stateText(heatStartList()); }

Q_SIGNALS:
    void substituteMarksChanged();
    void releaseChanged();

private:
    TimeFormat m_format;
    std::array<CompetitionTable*, 4> m_grids{};
    CompetitionTable* m_teams = nullptr;
    std::array<QString, 3> m_messages;
    SubstituteMarks m_substituteMarks;
    ResultRelease m_release;
};

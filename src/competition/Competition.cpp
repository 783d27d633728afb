#include "competition/Competition.h"

#include "competition/CellPresentation.h"
#include "competition/StageTables.h"

namespace {

SortStyle stageSortStyle(const CompetitionTable& grid, int column) {
    // Name columns compare as text, everything else as numbers; the results tables carry
    // "Pl." in front, which moves their name columns one place right.
    const bool results =
        grid.tag() == StageTables::HeatResults || grid.tag() == StageTables::FinalResults;
    const int first = results ? 2 : 1;
    return column >= first && column <= first + 2 ? ssNormal : ssNumeric;
}

} // namespace

Competition::Competition(const TimeFormat& format, QObject* parent)
    : QObject(parent), m_format(format) {
    struct Initial {
        int sortCol;
        const char* secondary;
        SortDirection direction;
    };
    const Initial initial[4] = {{20, "0", sdAscending},
                                {5, "9", sdAscending},
                                {4, "6", sdDescending},
                                {5, "8", sdAscending}};
    for (int i = 0; i < 4; ++i) {
        const int tag = i + 1;
        auto* grid = new CompetitionTable(StageTables::columnCount(tag), this);
        grid->setTag(tag);
        if (tag == StageTables::HeatResults || tag == StageTables::FinalResults)
            grid->setKeyColumn(StageTables::HeatRes::Nr);
        SortOptions& options = grid->sortOptions();
        options.canSort = false;
        options.column = initial[i].sortCol;
        options.secondaryIndex = QString::fromLatin1(initial[i].secondary);
        options.direction = initial[i].direction;
        options.style = ssNormal;
        options.caseSensitive = false;
        grid->setSortStyleHandler(stageSortStyle);
        grid->setDecimalSeparator(m_format.decimalSeparator());
        m_grids[i] = grid;
    }
    m_teams = new CompetitionTable(5, this);
    m_teams->setTag(StageTables::Teams);
    SortOptions& teamOptions = m_teams->sortOptions();
    teamOptions.canSort = true;
    teamOptions.column = 0;
    teamOptions.secondaryIndex.clear();
    teamOptions.direction = sdAscending;
    teamOptions.style = ssNumeric;
    teamOptions.caseSensitive = false;
    m_teams->setDecimalSeparator(m_format.decimalSeparator());
    writeDerivedHeaders();
    writeHeatStartListHeader();
}

void Competition::setTimeFormat(const TimeFormat& format) {
    m_format = format;
    for (auto* grid : m_grids)
        grid->setDecimalSeparator(format.decimalSeparator());
    m_teams->setDecimalSeparator(format.decimalSeparator());
}

QString Competition::stageMessage(int stage) const {
    return stage >= 1 && stage <= 3 ? m_messages[stage - 1] : QString();
}

void Competition::setStageMessage(int stage, const QString& text) {
    if (stage >= 1 && stage <= 3)
        m_messages[stage - 1] = text;
}

void Competition::clearStageMessages() {
    for (auto& message : m_messages)
        message.clear();
}

void Competition::writeDerivedHeaders() {
    for (int tag = StageTables::HeatResults; tag <= StageTables::FinalResults; ++tag) {
        CompetitionTable& grid = *m_grids[tag - 1];
        const QStringList captions = StageTables::defaultCaptions(tag);
        for (int c = 0; c < captions.size(); ++c)
            grid.setCell(c, 0, captions[c]);
    }
}

void Competition::writeHeatStartListHeader() {
    const QStringList captions = StageTables::defaultCaptions(StageTables::HeatStartList);
    for (int c = 0; c < captions.size(); ++c)
        m_grids[0]->setCell(c, 0, captions[c]);
}

SubstituteSource Competition::substitutes() const {
    return {m_grids[0], &m_substituteMarks, &m_format};
}

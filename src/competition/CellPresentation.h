#pragma once

#include "competition/TimeFormat.h"

#include <QString>
#include <Qt>
#include <optional>
#include <utility>

class SubstituteMarks;
class CompetitionTable;

// How one cell of a stage table looks: background, font colour and alignment. Colours are
// 0xRRGGBB; an empty optional keeps the table's default (or the selection colour).
struct CellFormat {
    std::optional<quint32> background;
    std::optional<quint32> fontColour;
    Qt::Alignment alignment = Qt::AlignLeft;
};

// Where the substitute times of every stage table are read from: the heat start list and its
// marks, and the time format that tells which heat runs count. Without the list and the marks
// nothing is a substitute.
struct SubstituteSource {
    const CompetitionTable* heatStartList = nullptr;
    const SubstituteMarks* marks = nullptr;
    const TimeFormat* timeFormat = nullptr;
};

class CellPresentation {
public:
    static constexpr quint32 LightGreen = 0xE0FFE0;
    static constexpr quint32 LightRed = 0xFFE0E0;
    static constexpr quint32 LightYellow = 0xFFFFE0;
    static constexpr quint32 Red = 0xFF0000;
    // A run state ("DNS", "DNF", "DSQ") in a time cell: dark text on orange, apart from the
    // times around it and from the red of the dropped run.
    static constexpr quint32 StateBackground = 0xFFD8A0;
    static constexpr quint32 StateText = 0x602000;
    // A substitute time on screen: light blue, told apart from the orange of the states.
    static constexpr quint32 SubstituteBackground = 0xD8E8FF;

    // What the published tables (web page, print, PDF) show of a cell beyond its text: a state
    // in the state colours, a substitute time with a raised "E" and the legend below the table.
    enum class Mark { None, State, Substitute };

    static QString substituteHint() { return QStringLiteral("Ersatzzeit"); }
    static QString substituteMark() { return QStringLiteral("E"); }
    static QString substituteLegend() { return QStringLiteral("E = Ersatzzeit"); }

    // The format of cell (col, row) of a stage table; selected means the row is the selection,
    // substitute that the cell shows a substitute time.
    static CellFormat format(const CompetitionTable& grid, int col, int row, bool selected,
                             const TimeFormat& timeFormat, bool substitute = false);

    static Mark mark(const CompetitionTable& grid, int col, int row,
                     const SubstituteSource& substitutes);
    static bool isSubstitute(const CompetitionTable& grid, int col, int row,
                             const SubstituteSource& substitutes);

    // Whether cell (col, row) of a stage table shows a run time that is a substitute: a run
    // column of the heat or final runs whose run in the heat start list (the very run the cell
    // shows, not another of the same text) still holds the marked substitute. Totals are not
    // marked.
    static bool isSubstitute(const CompetitionTable& grid, int col, int row,
                             const CompetitionTable& heatStartList, const SubstituteMarks& marks,
                             const TimeFormat& timeFormat);

    // Column (6, 7 or 8) of the heat run that the heat results leave out: the largest of the
    // three, the earliest of equal largest; nothing when the largest is not above 0, and nothing
    // when a run holds a state, whose own colour already marks it.
    static std::optional<int> discardedHeatRun(const CompetitionTable& heatStartList, int row,
                                               const TimeFormat& timeFormat);
    // The heat runs (0..2) the heat results show in "Zeit1" and "Zeit2": all but the one run
    // with a state, or else all but the one dropped above, in run order. Nothing when the row
    // has no two such runs.
    static std::optional<std::pair<int, int>>
    countedHeatRuns(const CompetitionTable& heatStartList, int row, const TimeFormat& timeFormat);
};

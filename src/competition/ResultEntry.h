#pragma once

#include <QString>
#include <QtGlobal>

class Competition;
class CompetitionTable;

// Writes a finished run into the selected row of the active stage's start list: a heat run
// into the heat start list, a final run into the final start list and its mirror in the heat
// start list. Rows that cannot take the time get a new row of their own in the heat start
// list, which is what the protocol keeps.
class ResultEntry {
public:
    enum class Outcome {
        Written,        // into a free time cell of the selected row
        Appended,       // a new row holds the time
        NotInHeatList,  // final page: the start number is not in the heat start list
        NoFreeFinalRun, // final page: both final runs are taken
    };

    // Page 0 and 1 write into the heat start list, 2 and 3 into the final start list.
    static CompetitionTable& targetTable(Competition& competition, int activePage);

    static Outcome enterRunTime(Competition& competition, int activePage, qint32 runTimeMs);

    // Where EnterRunTime would put a time now, without writing it: the heat start list row and
    // run that receive it, so that the operator can be told before and the audience after.
    struct Target {
        Outcome outcome = Outcome::Written;
        // The receiving row of the heat start list (for Appended, the index the new row gets)
        // and its run 0..4 ("Zeit1".."Zeit5"); -1 when the time goes nowhere.
        int heatRow = -1;
        int run = -1;
        // For Appended: the start number the new row gets.
        QString newNumber;
        bool operator==(const Target&) const = default;
    };
    static Target target(const Competition& competition, int activePage);
    // The texts a new row holds apart from its number and time.
    static QString placeholderName() { return QStringLiteral("Name"); }
    static QString placeholderFirstName() { return QStringLiteral("Vorname"); }
    static QString placeholderClub() { return QStringLiteral("Verein"); }

    // Moves the selection of the target table one row down, from the last row to row 1, and
    // returns the new row. The caller runs the selected-row steps afterwards even when the
    // row stayed the same (a table with one data row).
    static int selectNextRow(Competition& competition, int activePage);

private:
    // The start number a new row gets: its position, or past the highest number in use.
    static QString appendedRowNumber(const CompetitionTable& heatStartList);
    static int appendedRowIndex(const CompetitionTable& heatStartList);
    static void appendRow(CompetitionTable& heatStartList, int timeColumn, qint32 runTimeMs,
                          const QString& timeText);
};

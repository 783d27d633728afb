#pragma once

#include <QObject>
#include <QString>

class Competition;
class MainStatusBar;
class StagePages;
class CompetitionTable;

// Keeps the first status panel on the selection of the table that is shown, whatever moved it:
// a click, a key, result entry, a rebuild, loading or a change of page.
class RowPositionStatus : public QObject {
    Q_OBJECT
public:
    RowPositionStatus(Competition& competition, StagePages& pages, MainStatusBar& statusBar,
                      QObject* parent = nullptr);

    // "row:rows"; "0:0" while the table holds nothing but its one empty row.
    static QString text(const CompetitionTable& grid);

    void refresh();

private:
    void tableChanged(int page);

    Competition& m_competition;
    StagePages& m_pages;
    MainStatusBar& m_statusBar;
};

#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class Competition;
class CompetitionTable;

// The competitor a run belongs to, from its start (or its countdown) until its time is entered
// or dropped. The run is bound to the person, not to a row: whatever a command does to the start
// list, the binding finds the competitor again by start number, name, first name and club (the
// same one among identical rows), and an edit the operator types into that row's cells changes
// the binding with it. When the selection stood on the competitor before a change, it is put back
// on the competitor after it.
class RunBinding : public QObject {
    Q_OBJECT
public:
    explicit RunBinding(Competition& competition, QObject* parent = nullptr);

    // Binds the run to the selected row of the start list that the page's results go to: the
    // heat start list for pages 0 and 1, the final start list for pages 2 and 3.
    void bind(int page);
    // The competitor of the row now selected takes the run over (the operator said so).
    void rebindToSelection();
    void release();

    bool isBound() const { return m_bound; }
    // 0 for the heat start list, 2 for the final start list.
    int page() const { return m_page; }
    CompetitionTable& table() const;
    // The competitor's row now; -1 when no row of the list is that competitor.
    int row() const { return m_row; }
    // Whether the selection stands on the competitor.
    bool selectionOnCompetitor() const;
    // "Nr. 92 Meier Hans" for texts; the number alone when the row has no name.
    QString describe() const;
    static QString describeRow(const CompetitionTable& table, int row);

    // Whether these data rows of the heat start list (cells in its column order) still hold the
    // competitor; true when no run is bound.
    bool heldBy(const QList<QStringList>& heatRows) const;

Q_SIGNALS:
    // The competitor cannot be found in the list any more; told once until found again.
    void competitorLost(const QString& description);

private:
    void watch(CompetitionTable& table);
    void aboutToChange();
    void changed();
    void cellsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void cellEdited(int col, int row);
    bool rowIsCompetitor(const CompetitionTable& table, int row) const;
    // Whether the cells the function gives by column are the competitor's number and names.
    bool isCompetitor(const std::function<QString(int col)>& cell) const;
    int locate() const;

    Competition& m_competition;
    bool m_bound = false;
    int m_page = 0;
    // Number, name, first name, club: the first four columns of both start lists.
    QStringList m_identity;
    // Which of several identical rows, counted from the top.
    int m_occurrence = 0;
    int m_row = -1;
    bool m_selectionFollows = false;
    bool m_lostTold = false;
};

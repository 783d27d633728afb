#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"

#include <QAbstractTableModel>

// The club standings as the cup window shows them: one block per class (or one over all
// classes), place, club, total and the members who count.
class CupClubModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CupClubModel(QObject* parent = nullptr);

    void setTables(const QList<CupStandings::ClubTable>& tables, CupRules::Scoring scoring);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Line {
        QString cls;
        const CupStandings::ClubRow* row = nullptr; // nullptr: the class's heading
    };
    QList<CupStandings::ClubTable> m_tables;
    QList<Line> m_lines;
    CupRules::Scoring m_scoring = CupRules::Scoring::PointsTable;
};

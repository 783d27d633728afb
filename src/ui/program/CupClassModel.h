#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"

#include <QAbstractTableModel>

// One class's standings as the cup window's table shows them: place, name, club, one column
// per race (dropped results struck through and in brackets, voided races "annulliert"), the
// total, the gap to the leader and the marks.
class CupClassModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Place = 0, Name, FirstName, Club, FirstRace };

    explicit CupClassModel(QObject* parent = nullptr);

    void setTable(const CupStandings::ClassTable& table, const QStringList& raceTitles,
                  CupRules::Scoring scoring);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // "1", "1=" for a shared place, "" without one.
    static QString placeText(const CupStandings::Row& row);

private:
    int totalColumn() const { return FirstRace + static_cast<int>(m_titles.size()); }

    CupStandings::ClassTable m_table;
    QStringList m_titles;
    CupRules::Scoring m_scoring = CupRules::Scoring::PointsTable;
};

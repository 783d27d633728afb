#include "ui/program/CupClubModel.h"

#include "cup/CupValueText.h"

#include <QFont>

CupClubModel::CupClubModel(QObject* parent) : QAbstractTableModel(parent) {}

void CupClubModel::setTables(const QList<CupStandings::ClubTable>& tables,
                             CupRules::Scoring scoring) {
    beginResetModel();
    m_tables = tables;
    m_scoring = scoring;
    m_lines.clear();
    for (const CupStandings::ClubTable& table : m_tables) {
        if (m_tables.size() > 1 || !table.cls.isEmpty())
            m_lines.append({table.cls, nullptr});
        for (const CupStandings::ClubRow& row : table.rows)
            m_lines.append({table.cls, &row});
    }
    endResetModel();
}

int CupClubModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

int CupClubModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant CupClubModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const Line& line = m_lines[index.row()];
    if (!line.row) {
        if (role == Qt::DisplayRole && index.column() == 1)
            return line.cls.isEmpty() ? QStringLiteral("Alle Klassen")
                                      : QStringLiteral("Klasse ") + line.cls;
        if (role == Qt::FontRole) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    }
    const CupStandings::ClubRow& row = *line.row;
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return row.place > 0 ? QString::number(row.place) +
                                       (row.sharedPlace ? QStringLiteral("=") : QString())
                                 : QString();
        case 1:
            return row.club;
        case 2:
            return CupValueText::format(row.total, m_scoring);
        case 3:
            return row.members.join(QStringLiteral(", ")) +
                   (row.complete ? QString() : QStringLiteral(" (unvollständig)"));
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && (index.column() == 0 || index.column() == 2))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CupClubModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("Pl.");
    case 1:
        return QStringLiteral("Verein/Ort");
    case 2:
        return QStringLiteral("Summe");
    case 3:
        return QStringLiteral("Es zählen");
    default:
        return {};
    }
}

#include "ui/program/CupClassModel.h"

#include "cup/CupTableText.h"
#include "cup/CupValueText.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace {
// After the race columns: total, gap, marks.
constexpr int TrailingColumns = 3;
} // namespace

CupClassModel::CupClassModel(QObject* parent) : QAbstractTableModel(parent) {}

void CupClassModel::setTable(const CupStandings::ClassTable& table, const QStringList& raceTitles,
                             CupRules::Scoring scoring) {
    beginResetModel();
    m_table = table;
    m_titles = raceTitles;
    m_scoring = scoring;
    endResetModel();
}

int CupClassModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_table.rows.size());
}

int CupClassModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : totalColumn() + TrailingColumns;
}

QString CupClassModel::placeText(const CupStandings::Row& row) {
    if (row.place <= 0)
        return QString();
    return QString::number(row.place) + (row.sharedPlace ? QStringLiteral("=") : QString());
}

QVariant CupClassModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_table.rows.size())
        return {};
    const CupStandings::Row& row = m_table.rows[index.row()];
    const int column = index.column();
    const int race = column - FirstRace;
    const bool isRace = race >= 0 && race < row.races.size() && column < totalColumn();
    if (role == Qt::DisplayRole) {
        switch (column) {
        case Place:
            return placeText(row);
        case Name:
            return row.identity.name;
        case FirstName:
            return row.identity.firstName;
        case Club:
            return row.identity.club;
        default:
            break;
        }
        if (isRace)
            return CupTableText::raceCell(row.races[race], m_scoring,
                                          CupTableText::Dropped::Bracketed);
        if (column == totalColumn())
            return row.place > 0 || row.countedRaces > 0
                       ? CupValueText::format(row.total, m_scoring)
                       : QString();
        if (column == totalColumn() + 1)
            return row.place > 1 ? CupValueText::format(row.gap, m_scoring) : QString();
        if (column == totalColumn() + 2)
            return CupTableText::marks(row).join(QStringLiteral(", "));
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        if (column == Place || isRace || column == totalColumn() || column == totalColumn() + 1)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role == Qt::FontRole) {
        QFont font;
        if (isRace && row.races[race].dropped)
            font.setStrikeOut(true);
        if (column == totalColumn())
            font.setBold(true);
        return font;
    }
    if (role == Qt::ForegroundRole) {
        if (isRace && (row.races[race].dropped ||
                       row.races[race].kind == CupStandings::RaceResult::Kind::Voided))
            return QBrush(QColor(128, 128, 128));
        if (column == totalColumn() + 2 && (row.runOff || row.titleDecided))
            return QBrush(QColor(192, 0, 0));
        if (row.place == 0)
            return QBrush(QColor(96, 96, 96));
        return {};
    }
    if (role == Qt::ToolTipRole && isRace)
        return m_titles.value(race);
    return {};
}

QVariant CupClassModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    const int race = section - FirstRace;
    if (role == Qt::ToolTipRole && race >= 0 && race < m_titles.size())
        return m_titles[race];
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Place:
        return QStringLiteral("Pl.");
    case Name:
        return QStringLiteral("Name");
    case FirstName:
        return QStringLiteral("Vorname");
    case Club:
        return QStringLiteral("Verein/Ort");
    default:
        break;
    }
    if (race >= 0 && race < m_titles.size())
        return QStringLiteral("Lauf %1").arg(race + 1);
    if (section == totalColumn())
        return QStringLiteral("Summe");
    if (section == totalColumn() + 1)
        return QStringLiteral("Abstand");
    if (section == totalColumn() + 2)
        return QStringLiteral("Hinweis");
    return {};
}

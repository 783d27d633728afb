#include "session/RunBinding.h"

#include "competition/Competition.h"
#include "competition/CompetitionTable.h"

#include <algorithm>

namespace {

// Number, name, first name and club stand in the first four columns of both start lists.
constexpr int IdentityColumns = 4;

} // namespace

RunBinding::RunBinding(Competition& competition, QObject* parent)
    : QObject(parent), m_competition(competition) {
    watch(competition.heatStartList());
    watch(competition.finalStartList());
}

void RunBinding::watch(CompetitionTable& table) {
    const auto mine = [this, &table] {
        return m_bound && &table == &this->table();
    };
    const auto before = [this, mine] {
        if (mine())
            aboutToChange();
    };
    const auto after = [this, mine] {
        if (mine())
            changed();
    };
    connect(&table, &QAbstractItemModel::modelAboutToBeReset, this, before);
    connect(&table, &QAbstractItemModel::layoutAboutToBeChanged, this, before);
    connect(&table, &QAbstractItemModel::rowsAboutToBeInserted, this, before);
    connect(&table, &QAbstractItemModel::rowsAboutToBeRemoved, this, before);
    connect(&table, &QAbstractItemModel::modelReset, this, after);
    connect(&table, &QAbstractItemModel::layoutChanged, this, after);
    connect(&table, &QAbstractItemModel::rowsInserted, this, after);
    connect(&table, &QAbstractItemModel::rowsRemoved, this, after);
    connect(&table, &QAbstractItemModel::dataChanged, this,
            [this, mine](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (mine())
                    cellsChanged(topLeft, bottomRight);
            });
    connect(&table, &CompetitionTable::cellEdited, this, [this, mine](int col, int row) {
        if (mine())
            cellEdited(col, row);
    });
}

CompetitionTable& RunBinding::table() const {
    return m_page == 2 ? m_competition.finalStartList() : m_competition.heatStartList();
}

void RunBinding::bind(int page) {
    m_page = page >= 2 ? 2 : 0;
    const CompetitionTable& list = table();
    m_row = list.selectedRow();
    m_identity.clear();
    for (int col = 0; col < IdentityColumns; ++col)
        m_identity.append(list.cell(col, m_row).trimmed());
    m_bound = true;
    m_occurrence = 0;
    for (int r = 1; r < m_row; ++r) {
        if (rowIsCompetitor(list, r))
            ++m_occurrence;
    }
    m_lostTold = false;
}

void RunBinding::rebindToSelection() {
    if (m_bound)
        bind(m_page);
}

void RunBinding::release() {
    m_bound = false;
    m_row = -1;
}

bool RunBinding::selectionOnCompetitor() const {
    return m_bound && m_row > 0 && table().selectedRow() == m_row;
}

QString RunBinding::describe() const {
    QStringList parts{QStringLiteral("Nr. ") + m_identity.value(0)};
    for (int col = 1; col < 3; ++col) {
        if (!m_identity.value(col).isEmpty())
            parts.append(m_identity.value(col));
    }
    return parts.join(u' ');
}

QString RunBinding::describeRow(const CompetitionTable& table, int row) {
    QStringList parts{QStringLiteral("Nr. ") + table.cell(0, row).trimmed()};
    for (int col = 1; col < 3; ++col) {
        if (const QString text = table.cell(col, row).trimmed(); !text.isEmpty())
            parts.append(text);
    }
    return parts.join(u' ');
}

bool RunBinding::heldBy(const QList<QStringList>& heatRows) const {
    if (!m_bound)
        return true;
    return std::any_of(heatRows.cbegin(), heatRows.cend(), [this](const QStringList& cells) {
        return isCompetitor([&cells](int col) { return cells.value(col); });
    });
}

bool RunBinding::rowIsCompetitor(const CompetitionTable& table, int row) const {
    if (row < 1 || row >= table.rowsWithHeader())
        return false;
    return isCompetitor([&table, row](int col) { return table.cell(col, row); });
}

bool RunBinding::isCompetitor(const std::function<QString(int col)>& cell) const {
    for (int col = 0; col < IdentityColumns; ++col) {
        if (cell(col).trimmed() != m_identity.at(col))
            return false;
    }
    return true;
}

int RunBinding::locate() const {
    const CompetitionTable& list = table();
    if (rowIsCompetitor(list, m_row))
        return m_row;
    int first = -1;
    int seen = 0;
    for (int r = 1; r < list.rowsWithHeader(); ++r) {
        if (!rowIsCompetitor(list, r))
            continue;
        if (seen++ == m_occurrence)
            return r;
        if (first < 0)
            first = r;
    }
    return first;
}

void RunBinding::aboutToChange() {
    m_selectionFollows = selectionOnCompetitor();
}

void RunBinding::changed() {
    m_row = locate();
    if (m_row < 0) {
        if (!m_lostTold) {
            m_lostTold = true;
            Q_EMIT competitorLost(describe());
        }
        return;
    }
    m_lostTold = false;
    if (m_selectionFollows)
        table().setRow(m_row);
}

void RunBinding::cellsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    // Model row i is table row i + 1. A time written into some row leaves the competitor where
    // he is; only a change of who stands in his row needs looking for him again.
    const int firstRow = topLeft.row() + 1;
    const int lastRow = bottomRight.row() + 1;
    if (m_row >= firstRow && m_row <= lastRow && topLeft.column() < IdentityColumns &&
        !rowIsCompetitor(table(), m_row)) {
        m_selectionFollows = selectionOnCompetitor();
        changed();
    } else if (m_row < 0) {
        changed();
    }
}

void RunBinding::cellEdited(int col, int row) {
    // The operator corrects the competitor's own row: the run stays with that row's person.
    if (row == m_row && col >= 0 && col < IdentityColumns)
        m_identity[col] = table().cell(col, row).trimmed();
}

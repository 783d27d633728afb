#include "competition/CompetitionTable.h"

#include "competition/CellSorter.h"

#include <algorithm>
#include <functional>

namespace {

// Collects every change inside its scope into one model reset.
class UpdateScope {
public:
    explicit UpdateScope(CompetitionTable* grid) : m_grid(grid) { m_grid->beginUpdate(); }
    ~UpdateScope() { m_grid->endUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    CompetitionTable* m_grid;
};

} // namespace

CompetitionTable::CompetitionTable(int colCount, QObject* parent)
    : QAbstractTableModel(parent), m_colCount(qMax(1, colCount)) {
    m_rows.resize(2);
    for (auto& row : m_rows)
        row.resize(m_colCount);
}

void CompetitionTable::setRowsWithHeader(int rows) {
    rows = qMax(2, rows);
    if (rows == rowsWithHeader())
        return;
    UpdateScope scope(this);
    const int old = rowsWithHeader();
    m_rows.resize(rows);
    for (int r = old; r < rows; ++r)
        m_rows[r].resize(m_colCount);
    m_modified = true;
    clampSelection();
}

void CompetitionTable::renewDataRows(int rows) {
    rows = qMax(2, rows);
    UpdateScope scope(this);
    if (rows != rowsWithHeader())
        m_modified = true;
    QList<QStringList> old;
    old.swap(m_rows);
    m_rows.reserve(rows);
    m_rows.append(std::move(old[0]));
    std::sort(old.begin() + 1, old.end(), [](const QStringList& a, const QStringList& b) {
        return std::less<const QString*>()(a.constData(), b.constData());
    });
    old.clear();
    for (int r = 1; r < rows; ++r)
        m_rows.append(QStringList(m_colCount));
    clampSelection();
}

void CompetitionTable::setColumns(int cols) {
    cols = qMax(1, cols);
    if (cols == m_colCount)
        return;
    UpdateScope scope(this);
    m_colCount = cols;
    for (auto& row : m_rows)
        row.resize(m_colCount);
    m_modified = true;
}

const QString& CompetitionTable::cell(int col, int row) const {
    static const QString outside;
    if (row < 0 || row >= rowsWithHeader() || col < 0 || col >= m_colCount)
        return outside;
    return m_rows[row][col];
}

void CompetitionTable::setCell(int col, int row, const QString& text) {
    if (row < 0 || row >= rowsWithHeader() || col < 0 || col >= m_colCount)
        return;
    QString& target = m_rows[row][col];
    if (target.isSharedWith(text) || target == text)
        return;
    target = text;
    cellChanged(col, row);
}

QStringList CompetitionTable::column(int col) const {
    QStringList cells;
    if (col < 0 || col >= m_colCount)
        return cells;
    cells.reserve(rowsWithHeader());
    for (const auto& row : m_rows)
        cells.append(row[col]);
    return cells;
}

void CompetitionTable::setColumn(int col, const QStringList& cells) {
    if (col < 0 || col >= m_colCount)
        return;
    UpdateScope scope(this);
    for (int r = 0; r < rowsWithHeader(); ++r)
        assignShared(m_rows[r][col], r < cells.size() ? cells[r] : QString());
}

void CompetitionTable::copyColumn(const CompetitionTable& source, int sourceCol, int col) {
    if (col < 0 || col >= m_colCount)
        return;
    UpdateScope scope(this);
    const bool inSource = sourceCol >= 0 && sourceCol < source.m_colCount;
    for (int r = 0; r < rowsWithHeader(); ++r) {
        if (inSource && r < source.rowsWithHeader())
            assignShared(m_rows[r][col], source.m_rows[r][sourceCol]);
        else
            m_rows[r][col].clear();
    }
}

void CompetitionTable::copyColumns(const CompetitionTable& source, int sourceCol, int col,
                                   int count) {
    UpdateScope scope(this);
    // Row by row: each source row is visited once however many columns are copied.
    for (int r = 0; r < rowsWithHeader(); ++r) {
        QStringList& target = m_rows[r];
        const QStringList* from = r < source.rowsWithHeader() ? &source.m_rows[r] : nullptr;
        for (int k = 0; k < count; ++k) {
            const int to = col + k;
            const int fromCol = sourceCol + k;
            if (to < 0 || to >= m_colCount)
                continue;
            if (from && fromCol >= 0 && fromCol < source.m_colCount)
                assignShared(target[to], (*from)[fromCol]);
            else
                target[to].clear();
        }
    }
}

void CompetitionTable::assignShared(QString& target, const QString& text) {
    // Derivations copy the same texts again and again; a text already shared needs no write.
    if (!target.isSharedWith(text))
        target = text;
}

void CompetitionTable::clearColumn(int col) {
    if (col < 0 || col >= m_colCount)
        return;
    UpdateScope scope(this);
    for (int r = 1; r < rowsWithHeader(); ++r)
        m_rows[r][col].clear();
}

QString CompetitionTable::rowText(int row) const {
    return rowCells(row).join(u'\n');
}

void CompetitionTable::setRowText(int row, const QString& text) {
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setRowCells(row, normalized.split(u'\n'));
}

QStringList CompetitionTable::rowCells(int row) const {
    if (row < 0 || row >= rowsWithHeader())
        return QStringList();
    return m_rows[row];
}

void CompetitionTable::setRowCells(int row, const QStringList& cells) {
    if (row < 0 || row >= rowsWithHeader())
        return;
    UpdateScope scope(this);
    for (int c = 0; c < m_colCount; ++c)
        m_rows[row][c] = c < cells.size() ? cells[c] : QString();
}

int CompetitionTable::findRow(int col, const QString& text, bool ignoreCase) const {
    if (col < 0 || col >= m_colCount)
        return -1;
    for (int r = 1; r < rowsWithHeader(); ++r) {
        const QString& cell = m_rows[r][col];
        if (ignoreCase ? cell.compare(text, Qt::CaseInsensitive) == 0 : cell == text)
            return r;
    }
    return -1;
}

bool CompetitionTable::isRowEmpty(int row) const {
    if (row < 0 || row >= rowsWithHeader())
        return true;
    for (const auto& text : m_rows[row]) {
        if (!text.isEmpty())
            return false;
    }
    return true;
}

void CompetitionTable::appendRow(const QStringList& cells) {
    UpdateScope scope(this);
    if (!isRowEmpty(rowsWithHeader() - 1))
        setRowsWithHeader(rowsWithHeader() + 1);
    const int last = rowsWithHeader() - 1;
    for (int c = 0; c < m_colCount && c < cells.size(); ++c)
        m_rows[last][c] = cells[c];
}

void CompetitionTable::deleteRow(int row) {
    if (row < 1 || row >= rowsWithHeader())
        return;
    UpdateScope scope(this);
    if (rowsWithHeader() < 3) {
        for (auto& text : m_rows[1])
            text.clear();
    } else {
        m_rows.removeAt(row);
        if (m_row > row)
            --m_row;
        clampSelection();
    }
    m_modified = true;
}

void CompetitionTable::clearTable() {
    {
        UpdateScope scope(this);
        m_rows.resize(2);
        m_rows[1] = QStringList();
        m_rows[1].resize(m_colCount);
        m_modified = false;
    }
    setRow(1);
}

bool CompetitionTable::hasData() const {
    return rowsWithHeader() > 1 && !cell(m_keyColumn, 1).isEmpty();
}

void CompetitionTable::reorderRows(const QList<int>& order) {
    if (order.size() != rowsWithHeader() - 1)
        return;
    QList<bool> seen(rowsWithHeader(), false);
    for (int r : order) {
        if (r < 1 || r >= rowsWithHeader() || seen[r])
            return;
        seen[r] = true;
    }
    UpdateScope scope(this);
    QList<QStringList> rows;
    rows.reserve(rowsWithHeader());
    rows.append(std::move(m_rows[0]));
    int selected = m_row;
    for (int i = 0; i < order.size(); ++i) {
        rows.append(std::move(m_rows[order[i]]));
        if (order[i] == m_row)
            selected = i + 1;
    }
    m_rows = std::move(rows);
    m_row = selected;
}

void CompetitionTable::setRow(int row) {
    row = qBound(1, row, rowsWithHeader() - 1);
    if (row == m_row)
        return;
    m_row = row;
    Q_EMIT rowSelected(m_row);
}

void CompetitionTable::commitUserEdit(int col, int row, const QString& text) {
    if (row < 0 || row >= rowsWithHeader() || col < 0 || col >= m_colCount)
        return;
    if (m_rows[row][col] == text)
        return;
    m_rows[row][col] = text;
    m_modified = true;
    Q_EMIT cellEdited(col, row);
    cellChanged(col, row);
}

void CompetitionTable::sortByColumn(int col) {
    if (!m_options.canSort)
        return;
    m_options.column = col;
    if (col < 0 || col >= m_colCount || rowsWithHeader() < 3)
        return;
    UpdateScope scope(this);
    QList<int> keys{col};
    for (const auto& part : m_options.secondaryIndex.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int key = part.trimmed().toInt(&ok);
        if (ok && key != col && key >= 0 && key < m_colCount)
            keys.append(key);
    }
    // order[i] is the table row now at data position i + 1.
    QList<int> order(rowsWithHeader() - 1);
    for (int i = 0; i < order.size(); ++i)
        order[i] = i + 1;
    for (auto k = keys.size() - 1; k >= 0; --k) {
        const int key = keys[k];
        SortStyle style = m_options.style;
        if (m_styleHandler) {
            style = m_styleHandler(*this, key);
        } else if (style == ssAutomatic) {
            style = CellSorter::detectStyle(column(key).mid(1), m_separator);
            m_options.style = style;
        }
        m_options.style = style;
        QList<QStringView> texts;
        texts.reserve(order.size());
        for (int r : order)
            texts.append(std::as_const(m_rows)[r][key]);
        const QList<int> permutation =
            CellSorter::sortedPositions(texts, style, m_options, m_separator);
        QList<int> next(order.size());
        for (int i = 0; i < permutation.size(); ++i)
            next[i] = order[permutation[i]];
        order = next;
    }
    reorderRows(order);
    Q_EMIT sorted();
}

void CompetitionTable::beginUpdate() {
    if (m_updateLock++ == 0)
        beginResetModel();
}

void CompetitionTable::endUpdate() {
    if (m_updateLock == 0)
        return;
    if (--m_updateLock == 0)
        endResetModel();
}

int CompetitionTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowsWithHeader() - 1;
}

int CompetitionTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_colCount;
}

QVariant CompetitionTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return cell(index.column(), index.row() + 1);
}

QVariant CompetitionTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return cell(section, 0);
    return section + 1;
}

bool CompetitionTable::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    commitUserEdit(index.column(), index.row() + 1, value.toString());
    return true;
}

Qt::ItemFlags CompetitionTable::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_editable)
        return result;
    if (m_columnSelectable && !m_columnSelectable(index.column()))
        return Qt::NoItemFlags;
    return result | Qt::ItemIsEditable;
}

void CompetitionTable::setEditable(bool editable) {
    m_editable = editable;
}

void CompetitionTable::cellChanged(int col, int row) {
    if (m_updateLock > 0)
        return;
    if (row == 0) {
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex at = index(row - 1, col);
        Q_EMIT dataChanged(at, at);
    }
}

void CompetitionTable::clampSelection() {
    m_row = qBound(1, m_row, rowsWithHeader() - 1);
}

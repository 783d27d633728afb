#include "output/import/SheetBuilder.h"

#include "output/import/ImportLimits.h"

#include <algorithm>

SheetBuilder::SheetBuilder(const QString& name, qint64 cellsBefore) : m_cells(cellsBefore) {
    m_sheet.name = name;
}

bool SheetBuilder::setCell(int line, int column, const QString& text) {
    if (!m_error.isEmpty())
        return false;
    if (text.trimmed().isEmpty())
        return true;
    if (column >= ImportLimits::kMaxColumns) {
        m_error = QStringLiteral("Das Blatt „%1“ hat Inhalt jenseits der ersten %2 Spalten.")
                      .arg(m_sheet.name)
                      .arg(ImportLimits::kMaxColumns);
        return false;
    }
    if (text.size() > ImportLimits::kMaxCellChars) {
        m_error = QStringLiteral("Zeile %1 hat eine Zelle mit mehr als %2 Zeichen.")
                      .arg(line)
                      .arg(ImportLimits::kMaxCellChars);
        return false;
    }
    if (++m_cells > ImportLimits::kMaxCells) {
        m_error = QStringLiteral("Die Datei hat mehr als %1 gefüllte Zellen.")
                      .arg(ImportLimits::kMaxCells);
        return false;
    }
    ImportWorkbook::Row& row = rowAt(line);
    if (m_sheet.rows.size() > ImportLimits::kMaxRows) {
        m_error = QStringLiteral("Das Blatt „%1“ hat mehr als %2 gefüllte Zeilen.")
                      .arg(m_sheet.name)
                      .arg(ImportLimits::kMaxRows);
        return false;
    }
    if (row.cells.size() <= column)
        row.cells.resize(column + 1);
    row.cells[column] = text;
    m_sheet.columnCount = qMax(m_sheet.columnCount, column + 1);
    return true;
}

void SheetBuilder::hideColumn(int column) {
    if (column >= 0 && column < ImportLimits::kMaxColumns)
        m_sheet.hiddenColumns.insert(column);
}

ImportWorkbook::Row& SheetBuilder::rowAt(int line) {
    QList<ImportWorkbook::Row>& rows = m_sheet.rows;
    // Files give their rows in order; only a hand-made one jumps back.
    if (rows.isEmpty() || rows.last().line < line) {
        rows.append(ImportWorkbook::Row{line, {}});
        return rows.last();
    }
    if (rows.last().line == line)
        return rows.last();
    auto at = std::lower_bound(rows.begin(), rows.end(), line,
                               [](const ImportWorkbook::Row& r, int l) { return r.line < l; });
    if (at->line != line)
        at = rows.insert(at, ImportWorkbook::Row{line, {}});
    return *at;
}

ImportWorkbook::Sheet SheetBuilder::finish() {
    QSet<int> hidden;
    for (int column : std::as_const(m_sheet.hiddenColumns)) {
        if (column < m_sheet.columnCount)
            hidden.insert(column);
    }
    m_sheet.hiddenColumns = hidden;
    for (ImportWorkbook::Row& row : m_sheet.rows)
        row.cells.resize(m_sheet.columnCount);
    return std::move(m_sheet);
}

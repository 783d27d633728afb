#include "output/registration/SheetBuilder.h"

#include "output/registration/ImportLimits.h"

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

bool SheetBuilder::mergeDown(int line, int column, int lastLine) {
    if (!m_error.isEmpty())
        return false;
    if (lastLine <= line || column < 0 || column >= ImportLimits::kMaxColumns)
        return true;
    if (m_merges.size() >= ImportLimits::kMaxCells) {
        m_error = QStringLiteral("Das Blatt „%1“ hat mehr als %2 verbundene Zellbereiche.")
                      .arg(m_sheet.name)
                      .arg(ImportLimits::kMaxCells);
        return false;
    }
    m_merges.append({line, column, lastLine});
    return true;
}

void SheetBuilder::hideColumn(int column) {
    if (column >= 0 && column < ImportLimits::kMaxColumns)
        m_sheet.hiddenColumns.insert(column);
}

ImportWorkbook::Row& SheetBuilder::rowAt(int line) {
    QList<ImportWorkbook::Row>& rows = m_sheet.rows;
    if (!rows.isEmpty() && rows.last().line == line)
        return rows.last();
    const auto known = m_rowOfLine.constFind(line);
    if (known != m_rowOfLine.constEnd())
        return rows[known.value()];
    m_rowOfLine.insert(line, rows.size());
    rows.append(ImportWorkbook::Row{line, {}});
    return rows.last();
}

// Rows that hold nothing but the merged area (a title over two lines) are left out: only a
// row that registers someone needs the club written once above it.
bool SheetBuilder::spreadMerged() {
    QList<ImportWorkbook::Row>& rows = m_sheet.rows;
    const auto byLine = [](const ImportWorkbook::Row& row, int line) {
        return row.line < line;
    };
    qint64 visited = 0; // overlapping ranges of a crafted file must not multiply the work
    for (const Merge& merge : std::as_const(m_merges)) {
        auto at = std::lower_bound(rows.begin(), rows.end(), merge.line, byLine);
        if (at == rows.end() || at->line != merge.line)
            continue;
        const QString text = at->cells.value(merge.column);
        if (text.isEmpty())
            continue;
        for (++at; at != rows.end() && at->line <= merge.lastLine; ++at) {
            const bool filled = !at->cells.value(merge.column).isEmpty();
            if (++visited > ImportLimits::kMaxCells ||
                (!filled && ++m_cells > ImportLimits::kMaxCells)) {
                m_error = QStringLiteral("Die Datei hat mehr als %1 gefüllte Zellen.")
                              .arg(ImportLimits::kMaxCells);
                return false;
            }
            if (filled)
                continue;
            if (at->cells.size() <= merge.column)
                at->cells.resize(merge.column + 1);
            at->cells[merge.column] = text;
        }
    }
    m_merges.clear();
    return true;
}

std::optional<ImportWorkbook::Sheet> SheetBuilder::finish() {
    QSet<int> hidden;
    for (int column : std::as_const(m_sheet.hiddenColumns)) {
        if (column < m_sheet.columnCount)
            hidden.insert(column);
    }
    m_sheet.hiddenColumns = hidden;
    // A file may give its rows in any order; sorting once keeps that from costing more.
    std::stable_sort(
        m_sheet.rows.begin(), m_sheet.rows.end(),
        [](const ImportWorkbook::Row& a, const ImportWorkbook::Row& b) { return a.line < b.line; });
    m_rowOfLine.clear();
    if (!m_error.isEmpty() || !spreadMerged())
        return std::nullopt;
    for (ImportWorkbook::Row& row : m_sheet.rows)
        row.cells.resize(m_sheet.columnCount);
    return std::move(m_sheet);
}

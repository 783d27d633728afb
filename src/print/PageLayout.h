#pragma once

#include "print/PageGeometry.h"
#include "print/PrintPage.h"

#include <QList>

// Cuts a table into pages: columns into bands that fit the page width, and each band's rows
// into pages below a repeated header row. This one computation serves counting, preview and
// printing, so the three can never disagree about what a page holds.
class PageLayout {
public:
    // Distances in screen pixels, before conversion to the device.
    static constexpr int LeftEdge = 30; // device pixels, never converted
    static constexpr int HeaderTop = 20;
    static constexpr int LabelRight = 10;
    static constexpr int LabelFromBottom = 16;
    // A row's foot stays this far above the page's foot, clear of the page label.
    static constexpr int RowFootClearance = LabelFromBottom + 2;

    // Column widths in screen pixels (a hidden column is -1), row heights of rows 0 (header)
    // to rowsWithHeader-1.
    PageLayout(QList<int> columnWidths, QList<int> rowHeights);

    // The pages of rows firstRow..lastRow, band after band.
    QList<PrintPage> pages(const PageGeometry& geometry, int firstRow, int lastRow) const;
    int pageCount(const PageGeometry& geometry, int firstRow, int lastRow) const;

    // Left edge of column col on a page of the band that begins at firstCol.
    int cellLeft(const PageGeometry& geometry, int firstCol, int col) const;
    int columnWidth(int col) const { return m_columnWidths.value(col, -1); }
    int rowHeight(int row) const { return m_rowHeights.value(row, 0); }
    int columnCount() const { return static_cast<int>(m_columnWidths.size()); }

private:
    int bandEnd(const PageGeometry& geometry, int firstCol) const;

    QList<int> m_columnWidths;
    QList<int> m_rowHeights;
};

#include "print/PageLayout.h"

#include <utility>

PageLayout::PageLayout(QList<int> columnWidths, QList<int> rowHeights)
    : m_columnWidths(std::move(columnWidths)), m_rowHeights(std::move(rowHeights)) {}

int PageLayout::bandEnd(const PageGeometry& g, int firstCol) const {
    int last = firstCol;
    qint64 sum = 0;
    for (int c = firstCol; c < columnCount(); ++c) {
        sum += g.deviceX(qint64{columnWidth(c)} + 1);
        if (sum <= g.pageWidth)
            last = c;
    }
    // Hidden columns take no room; ending a band on them keeps a band of nothing but hidden
    // columns from becoming an empty page of its own.
    while (last + 1 < columnCount() && columnWidth(last + 1) < 0)
        ++last;
    return last;
}

int PageLayout::cellLeft(const PageGeometry& g, int firstCol, int col) const {
    qint64 x = LeftEdge;
    for (int c = firstCol; c < col; ++c)
        x += g.deviceX(qint64{columnWidth(c)} + 1);
    return PageGeometry::saturated(x);
}

QList<PrintPage> PageLayout::pages(const PageGeometry& g, int firstRow, int lastRow) const {
    QList<PrintPage> result;
    const int lowest = g.pageHeight - g.deviceY(RowFootClearance);
    int number = 0;
    int band = 0;
    for (int firstCol = 0; firstCol < columnCount();) {
        const int lastCol = bandEnd(g, firstCol);
        ++band;
        const bool banded = lastCol != columnCount() - 1 || band > 1;
        PrintPage page{++number, band, 1, banded, firstCol, lastCol, firstRow, firstRow - 1};
        qint64 position = g.deviceY(HeaderTop);
        for (int r = firstRow; r <= lastRow; ++r) {
            position += g.deviceY(rowHeight(r));
            // A row taller than a whole page still goes on a page of its own, cut at its foot,
            // rather than pushing the pages on for ever.
            const bool pageEmpty = page.lastRow < page.firstRow;
            if (position + g.deviceY(rowHeight(r)) <= lowest || pageEmpty) {
                page.lastRow = r;
                continue;
            }
            result.append(page);
            page =
                PrintPage{++number, band, page.pageInBand + 1, banded, firstCol, lastCol, r, r - 1};
            position = g.deviceY(HeaderTop);
            --r;
        }
        result.append(page);
        firstCol = lastCol + 1;
    }
    return result;
}

int PageLayout::pageCount(const PageGeometry& g, int firstRow, int lastRow) const {
    return static_cast<int>(pages(g, firstRow, lastRow).size());
}

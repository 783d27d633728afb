#include "print/GridPageRenderer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cmath>

namespace {

const QColor Silver(192, 192, 192);

void drawTextTop(QPainter& painter, int x, int top, const QString& text) {
    painter.drawText(QPoint(x, top + painter.fontMetrics().ascent()), text);
}

} // namespace

QFont GridPageRenderer::pageFont(const QFont& gridFont) {
    QFont font = gridFont;
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

QFont GridPageRenderer::markFont(const QFont& gridFont) {
    QFont font = gridFont;
    font.setPointSizeF(gridFont.pointSizeF() * 0.7);
    return font;
}

int GridPageRenderer::screenWidth(const QFont& font, const QString& text, int screenDpi) {
    // An image of the screen's resolution measures the same on every platform and in tests.
    QImage reference(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(screenDpi / 0.0254));
    reference.setDotsPerMeterX(dotsPerMeter);
    reference.setDotsPerMeterY(dotsPerMeter);
    return QFontMetrics(font, &reference).horizontalAdvance(text);
}

int GridPageRenderer::renderPages(const PrintableTable& table, QPainter* painter,
                                  const NewPage& newPage, const PageGeometry& geometry, Mode mode,
                                  int firstRow, int lastRow, int previewPage) {
    const PageGeometry g = mode == Mode::Preview ? geometry.preview() : geometry;
    const QList<PrintPage> pages = table.layout.pages(g, firstRow, lastRow);
    if (mode == Mode::Counting || !painter)
        return static_cast<int>(pages.size());
    if (mode == Mode::Preview) {
        painter->fillRect(QRect(0, 0, g.pageWidth, g.pageHeight), Qt::white);
        if (previewPage >= 1 && previewPage <= pages.size())
            drawPage(table, *painter, g, pages[previewPage - 1]);
        return static_cast<int>(pages.size());
    }
    for (const PrintPage& page : pages) {
        if (page.number > 1 && newPage)
            newPage();
        drawPage(table, *painter, g, page);
    }
    return static_cast<int>(pages.size());
}

void GridPageRenderer::drawPage(const PrintableTable& table, QPainter& painter,
                                const PageGeometry& g, const PrintPage& page) {
    // A cosmetic pen stays one device pixel wide however fine the printer is.
    painter.setPen(QPen(Qt::black, 0));
    const QFont titleFont = pageFont(table.font);
    painter.setFont(titleFont);
    const int titleWidth = screenWidth(titleFont, table.pageTitle, table.screenDpi);
    drawTextTop(painter, g.pageWidth / 2 - g.deviceX(titleWidth / 2), g.deviceY(0),
                table.pageTitle);
    // Whether the results are official stands on every page, so no single sheet passes for
    // the official list before it is one.
    if (!table.releaseText.isEmpty())
        drawTextTop(painter, PageLayout::LeftEdge, g.deviceY(0), table.releaseText);
    const QString label = page.label();
    const int labelWidth = screenWidth(titleFont, label, table.screenDpi);
    drawTextTop(painter, g.pageWidth - g.deviceX(labelWidth + PageLayout::LabelRight),
                g.pageHeight - g.deviceY(PageLayout::LabelFromBottom), label);
    painter.setFont(table.font);
    if (showsSubstitute(table, page))
        drawTextTop(painter, PageLayout::LeftEdge,
                    g.pageHeight - g.deviceY(PageLayout::LabelFromBottom),
                    CellPresentation::substituteLegend());

    int top = g.deviceY(PageLayout::HeaderTop);
    drawRow(table, painter, g, page, 0, top);
    for (int r = page.firstRow; r <= page.lastRow; ++r) {
        top += g.deviceY(table.layout.rowHeight(r));
        drawRow(table, painter, g, page, r, top);
    }
    painter.setBrush(Qt::white);
}

bool GridPageRenderer::showsSubstitute(const PrintableTable& table, const PrintPage& page) {
    for (auto it = table.marks.cbegin(); it != table.marks.cend(); ++it) {
        const QPoint cell = it.key();
        if (it.value() == CellPresentation::Mark::Substitute && cell.x() >= page.firstCol &&
            cell.x() <= page.lastCol && cell.y() >= page.firstRow && cell.y() <= page.lastRow &&
            table.layout.columnWidth(cell.x()) > 0)
            return true;
    }
    return false;
}

void GridPageRenderer::drawRow(const PrintableTable& table, QPainter& painter,
                               const PageGeometry& g, const PrintPage& page, int row, int top) {
    const PageLayout& layout = table.layout;
    const QFontMetrics metrics = painter.fontMetrics();
    const QFontMetrics markMetrics(markFont(table.font), painter.device());
    // A box reaches one device pixel past the next row's top and the next cell's left edge, so
    // neighbours draw their shared border on the same line: at printer resolution one length
    // unit is many device pixels, and boxes one unit larger would draw it twice, apart.
    const int height = g.deviceY(layout.rowHeight(row)) + 1;
    painter.setBrush(Qt::NoBrush);
    int x = PageLayout::LeftEdge;
    for (int c = page.firstCol; c <= page.lastCol; ++c) {
        const int width = layout.columnWidth(c);
        const int left = x;
        x += g.deviceX(width + 1);
        if (width <= 0)
            continue;
        const QRect box(left, top, g.deviceX(width + 1) + 1, height);
        const CellPresentation::Mark mark = table.mark(c, row);
        if (row == 0)
            painter.fillRect(box, Silver);
        else if (mark == CellPresentation::Mark::State)
            painter.fillRect(box, QColor::fromRgb(CellPresentation::StateBackground));
        painter.drawRect(box.adjusted(0, 0, -1, -1));

        if (table.cell(c, row).isEmpty())
            continue;
        const bool substitute = mark == CellPresentation::Mark::Substitute;
        const int markWidth =
            substitute ? markMetrics.horizontalAdvance(CellPresentation::substituteMark()) : 0;
        const Qt::Alignment alignment = table.alignment(c, row) & Qt::AlignHorizontal_Mask;
        // A text wider than its cell ends in "…", so the reader sees that it goes on. It has
        // the cell but for the margin on the side it is aligned to.
        const int room = g.deviceX(width) - (alignment & Qt::AlignHCenter ? 0 : g.deviceX(3));
        const QString text =
            metrics.elidedText(table.cell(c, row), Qt::ElideRight, room - markWidth);
        const int textWidth = metrics.horizontalAdvance(text);
        int offset = g.deviceX(3);
        if (alignment & Qt::AlignRight)
            offset = g.deviceX(width - 3) - textWidth - markWidth;
        else if (alignment & Qt::AlignHCenter)
            offset = g.deviceX(width) / 2 - (textWidth + markWidth) / 2;
        painter.setClipRect(box.adjusted(1, 1, -1, -1));
        if (mark == CellPresentation::Mark::State)
            painter.setPen(QPen(QColor::fromRgb(CellPresentation::StateText), 0));
        const int baseline = top + metrics.ascent();
        painter.drawText(QPoint(left + offset, baseline), text);
        if (substitute) {
            // Raised by a third of the time's height, as a superscript is.
            painter.setFont(markFont(table.font));
            painter.drawText(QPoint(left + offset + textWidth, baseline - metrics.ascent() / 3),
                             CellPresentation::substituteMark());
            painter.setFont(table.font);
        }
        painter.setPen(QPen(Qt::black, 0));
        painter.setClipping(false);
    }
}

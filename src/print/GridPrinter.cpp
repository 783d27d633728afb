#include "print/GridPrinter.h"

#include "competition/ColumnFit.h"
#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableView.h"
#include "print/GridPageRenderer.h"
#include "print/PrinterSetup.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <cmath>

namespace {

// Measures texts as a device of this resolution does, whatever paints them later.
class DeviceMetrics {
public:
    DeviceMetrics(const QFont& font, int dpi) : m_reference(1, 1, QImage::Format_RGB32) {
        const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
        m_reference.setDotsPerMeterX(dotsPerMeter);
        m_reference.setDotsPerMeterY(dotsPerMeter);
        m_metrics.emplace(font, &m_reference);
    }
    int width(const QString& text) const { return m_metrics->horizontalAdvance(text); }

private:
    QImage m_reference;
    std::optional<QFontMetrics> m_metrics;
};

QHash<QPoint, CellPresentation::Mark> marksOf(const CompetitionTable& grid,
                                              const SubstituteSource& substitutes) {
    QHash<QPoint, CellPresentation::Mark> marks;
    for (int r = 1; r < grid.rowsWithHeader(); ++r) {
        for (int c = 0; c < grid.columns(); ++c) {
            const CellPresentation::Mark mark = CellPresentation::mark(grid, c, r, substitutes);
            if (mark != CellPresentation::Mark::None)
                marks.insert(QPoint(c, r), mark);
        }
    }
    return marks;
}

} // namespace

GridPrinter::GridPrinter(const CompetitionTableView& view, PrinterSetup& printers)
    : m_view(view), m_printers(printers) {}

CompetitionTable& GridPrinter::grid() const {
    return *m_view.grid();
}

int GridPrinter::neededWidth(int textWidth, Qt::Alignment alignment, const PageGeometry& page) {
    if (textWidth <= 0)
        return 0;
    // Whole device pixels of the converted width; the clip lies one pixel inside the box.
    const auto units = [&page](int devicePixels) {
        return (devicePixels + page.factorX - 1) / page.factorX;
    };
    if (alignment & Qt::AlignRight)
        return units(textWidth + 1) + 3;
    if (alignment & Qt::AlignHCenter)
        return units(textWidth + 2);
    return units(page.deviceX(3) + textWidth + 1) - 1;
}

PrintableTable GridPrinter::printable() const {
    const CompetitionTable& g = grid();
    const QList<StageTables::ColumnSpec> specs = StageTables::columns(g.tag());
    const PageGeometry page = m_printers.geometry();
    const DeviceMetrics device(m_view.font(), m_printers.resolution());
    const auto measure = [&device](const QString& t) {
        return device.width(t);
    };
    PrintableTable table;
    table.rows = ColumnFit::rowsOf(g);
    table.marks = marksOf(g, m_view.substituteSource());
    // A substitute time is followed by its raised mark, which needs room of its own.
    const DeviceMetrics markDevice(GridPageRenderer::markFont(m_view.font()),
                                   m_printers.resolution());
    const int markWidth = markDevice.width(CellPresentation::substituteMark());
    QList<int> widths;
    QList<int> shared;
    int grown = 0;
    for (int c = 0; c < g.columns(); ++c) {
        const Qt::Alignment alignment = c < specs.size() ? specs.at(c).alignment : Qt::AlignLeft;
        table.alignments.append(alignment);
        if (m_view.isColumnHidden(c)) {
            widths.append(-1);
            continue;
        }
        const int width = m_view.columnWidth(c);
        widths.append(width);
        // Names may be cut at their column's edge; numbers and captions never are.
        if (c < specs.size() && specs.at(c).fixedWidth == 0) {
            shared.append(c);
            continue;
        }
        // The caption is left-aligned, the data as the column is.
        int needed = std::max(
            neededWidth(device.width(table.cell(c, 0)), Qt::AlignLeft, page),
            neededWidth(ColumnFit::widestText(table.rows, c, measure, 1), alignment, page));
        for (auto it = table.marks.cbegin(); it != table.marks.cend(); ++it) {
            if (it.key().x() == c && it.value() == CellPresentation::Mark::Substitute)
                needed = std::max(needed,
                                  neededWidth(device.width(table.cell(c, it.key().y())) + markWidth,
                                              alignment, page));
        }
        if (needed > width) {
            grown += needed - width;
            widths[c] = needed;
        }
    }
    // The name columns give the room back, so the table keeps its width on the page.
    const int toGive = grown;
    for (qsizetype i = 0; i < shared.size() && grown > 0; ++i) {
        const int c = shared.at(i);
        const int share = i + 1 == shared.size() ? grown : toGive * specs.at(c).sharePercent / 100;
        const int taken = std::min(share, std::max(0, widths[c] - MinimumNameWidth));
        widths[c] -= taken;
        grown -= taken;
    }
    // Every row of a stage table has the designed height, the header row included.
    table.layout =
        PageLayout(widths, QList<int>(g.rowsWithHeader(), CompetitionTableView::RowHeight));
    table.font = m_view.font();
    table.pageTitle = g.printOptions().pageTitle;
    table.releaseText = g.printOptions().releaseText;
    table.screenDpi = m_printers.screenDpi();
    return table;
}

int GridPrinter::pageCount() const {
    grid().printOptions().range = prAll;
    return GridPageRenderer::renderPages(printable(), nullptr, {}, m_printers.geometry(),
                                         GridPageRenderer::Mode::Counting, 1,
                                         grid().rowsWithHeader() - 1);
}

QSize GridPrinter::previewSize() const {
    const PageGeometry page = m_printers.geometry().preview();
    return QSize(page.pageWidth, page.pageHeight);
}

void GridPrinter::drawPreview(QImage& image) const {
    PrintOptions& options = grid().printOptions();
    options.range = prAll;
    QPainter painter(&image);
    GridPageRenderer::renderPages(printable(), &painter, {}, m_printers.geometry(),
                                  GridPageRenderer::Mode::Preview, 1, grid().rowsWithHeader() - 1,
                                  options.previewPage);
}

GridPrinter::PrintJob GridPrinter::printJob() const {
    const PrintOptions& options = grid().printOptions();
    PrintJob job{printable(), m_printers.geometry(), qMax(1, options.fromRow), 1};
    job.lastRow = qMax(job.firstRow, qMin(options.toRow, grid().rowsWithHeader() - 1));
    return job;
}

bool GridPrinter::print(QPrinter& printer, const PrintJob& job,
                        BackgroundExport::Progress* progress) {
    if (progress)
        progress->total = job.table.layout.pageCount(job.geometry, job.firstRow, job.lastRow);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    GridPageRenderer::renderPages(
        job.table, &painter,
        [&printer, progress] {
            if (progress)
                ++progress->done;
            printer.newPage();
        },
        job.geometry, GridPageRenderer::Mode::Printing, job.firstRow, job.lastRow);
    return painter.end();
}

GridPrinter::PdfJob GridPrinter::pdfJob(const std::optional<QPageLayout>& pageLayout) const {
    return PdfJob{printable(), pageLayout.value_or(m_printers.pageLayout()),
                  m_printers.resolution(), m_printers.screenDpi(), grid().printOptions().jobTitle};
}

QByteArray GridPrinter::pdfDocument(const PdfJob& job, BackgroundExport::Progress* progress) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(job.pageLayout);
        writer.setResolution(job.resolution);
        writer.setTitle(job.title);
        const PageGeometry page =
            PageGeometry::forDevice(writer.width(), writer.height(), writer.logicalDpiX(),
                                    writer.logicalDpiY(), job.screenDpi);
        const int lastRow = static_cast<int>(job.table.rows.size()) - 1;
        if (progress)
            progress->total = job.table.layout.pageCount(page, 1, lastRow);
        QPainter painter(&writer);
        GridPageRenderer::renderPages(
            job.table, &painter,
            [&writer, progress] {
                if (progress)
                    ++progress->done;
                writer.newPage();
            },
            page, GridPageRenderer::Mode::Printing, 1, lastRow);
    }
    return bytes;
}

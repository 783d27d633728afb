#include "print/GridPrinter.h"

#include "competition/CellPresentation.h"
#include "competition/TSortGrid.h"
#include "competition/widgets/TSortGridDelegate.h"
#include "competition/widgets/TSortGridView.h"
#include "print/GridPageRenderer.h"
#include "print/PrinterSetup.h"

#include <QBuffer>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>

GridPrinter::GridPrinter(const TSortGridView& view, PrinterSetup& printers, QWidget* messageParent,
                         QString messageTitle)
    : m_view(view), m_printers(printers), m_messageParent(messageParent),
      m_messageTitle(std::move(messageTitle)) {}

TSortGrid& GridPrinter::grid() const {
    return *m_view.grid();
}

PrintableTable GridPrinter::printable() const {
    const TSortGrid& g = grid();
    QList<int> widths;
    widths.reserve(g.ColCount());
    for (int c = 0; c < g.ColCount(); ++c)
        widths.append(m_view.isColumnHidden(c) ? -1 : m_view.columnWidth(c));
    // Every row of a stage table has the designed height, the header row included.
    const QList<int> heights(g.RowCount(), TSortGridView::RowHeight);
    PrintableTable table;
    table.grid = &g;
    table.layout = PageLayout(widths, heights);
    table.font = m_view.font();
    table.pageTitle = g.printOptions().PageTitle;
    table.screenDpi = m_printers.screenDpi();
    const auto* delegate = qobject_cast<const TSortGridDelegate*>(m_view.itemDelegate());
    const TimeFormat* timeFormat = delegate ? delegate->timeFormat() : nullptr;
    if (timeFormat) {
        table.alignment = [&g, timeFormat](int col, int row) {
            return CellPresentation::format(g, col, row, false, *timeFormat).alignment;
        };
    }
    return table;
}

int GridPrinter::PageCount() const {
    grid().printOptions().PrintRange = prAll;
    return GridPageRenderer::RenderPages(printable(), nullptr, {}, m_printers.geometry(),
                                         GridPageRenderer::Mode::Counting, 1,
                                         grid().RowCount() - 1);
}

QSize GridPrinter::previewSize() const {
    const PageGeometry page = m_printers.geometry().preview();
    return QSize(page.pageWidth, page.pageHeight);
}

void GridPrinter::DrawPreview(QImage& image) const {
    TPrintOptions& options = grid().printOptions();
    options.PrintRange = prAll;
    QPainter painter(&image);
    GridPageRenderer::RenderPages(printable(), &painter, {}, m_printers.geometry(),
                                  GridPageRenderer::Mode::Preview, 1, grid().RowCount() - 1,
                                  options.PreviewPage);
}

bool GridPrinter::PrintGrid() const {
    if (!m_printers.installed()) {
        QMessageBox box(QMessageBox::Critical, m_messageTitle, noPrinterMessage(), QMessageBox::Ok,
                        m_messageParent);
        box.exec();
        return false;
    }
    const TPrintOptions& options = grid().printOptions();
    QPrinter& printer = m_printers.printer();
    printer.setDocName(options.JobTitle);
    printer.setCopyCount(options.Copies);
    // The dialog's page range is not ours to use: the rows decide what is printed.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    QPainter painter;
    if (!painter.begin(&printer)) {
        // The printer went away or refused the job; the operator must not wait for paper.
        QMessageBox box(
            QMessageBox::Critical, m_messageTitle,
            QStringLiteral("Der Druck auf „%1“ konnte nicht beginnen.").arg(printer.printerName()),
            QMessageBox::Ok, m_messageParent);
        box.exec();
        return false;
    }
    const int first = qMax(1, options.FromRow);
    const int last = qMin(options.ToRow, grid().RowCount() - 1);
    GridPageRenderer::RenderPages(
        printable(), &painter, [&printer] { printer.newPage(); }, m_printers.geometry(),
        GridPageRenderer::Mode::Printing, first, qMax(first, last));
    return painter.end();
}

QByteArray GridPrinter::pdfDocument() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(m_printers.pageLayout());
        writer.setResolution(m_printers.resolution());
        writer.setTitle(grid().printOptions().JobTitle);
        QPainter painter(&writer);
        const PageGeometry page =
            PageGeometry::forDevice(writer.width(), writer.height(), writer.logicalDpiX(),
                                    writer.logicalDpiY(), m_printers.screenDpi());
        GridPageRenderer::RenderPages(
            printable(), &painter, [&writer] { writer.newPage(); }, page,
            GridPageRenderer::Mode::Printing, 1, grid().RowCount() - 1);
    }
    return bytes;
}

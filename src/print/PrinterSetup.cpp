#include "print/PrinterSetup.h"

#include <QGuiApplication>
#include <QPrinterInfo>
#include <QScreen>
#include <cmath>

PrinterSetup::PrinterSetup(PrinterCheck systemHasPrinter)
    : m_systemHasPrinter(std::move(systemHasPrinter)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    if (!m_systemHasPrinter)
        m_systemHasPrinter = [] {
            return !QPrinterInfo::availablePrinterNames().isEmpty();
        };
}

PrinterSetup::~PrinterSetup() = default;

bool PrinterSetup::installed() const {
    if (m_frozen)
        return m_frozen->installed;
    // A file named in the print dialog is no printer: it is written as the PDF button writes
    // one, and without either the operator hears that none is installed.
    return m_systemHasPrinter();
}

std::optional<QString> PrinterSetup::outputFile() const {
    if (m_frozen)
        return m_frozen->outputFile;
    if (m_printer->outputFormat() != QPrinter::PdfFormat || m_printer->outputFileName().isEmpty())
        return std::nullopt;
    return m_printer->outputFileName();
}

bool PrinterSetup::usesPrinter() const {
    return installed() || outputFile().has_value();
}

QPageLayout PrinterSetup::defaultLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QPageLayout PrinterSetup::pageLayout() const {
    if (m_frozen)
        return m_frozen->pageLayout;
    return usesPrinter() ? m_printer->pageLayout() : defaultLayout();
}

int PrinterSetup::resolution() const {
    if (m_frozen)
        return m_frozen->resolution;
    return usesPrinter() ? m_printer->resolution() : DefaultResolution;
}

PageGeometry PrinterSetup::geometry() const {
    if (m_frozen)
        return m_frozen->geometry;
    if (usesPrinter())
        return PageGeometry::forDevice(m_printer->width(), m_printer->height(),
                                       m_printer->logicalDpiX(), m_printer->logicalDpiY(),
                                       screenDpi());
    const QRect page = defaultLayout().paintRectPixels(DefaultResolution);
    return PageGeometry::forDevice(page.width(), page.height(), DefaultResolution,
                                   DefaultResolution, screenDpi());
}

void PrinterSetup::beginPrinting() {
    m_frozen = Page{installed(), outputFile(), geometry(), pageLayout(), resolution()};
}

void PrinterSetup::endPrinting() {
    m_frozen.reset();
}

int PrinterSetup::screenDpi() const {
    if (m_screenDpi > 0)
        return m_screenDpi;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return std::max(1, static_cast<int>(std::lround(screen->logicalDotsPerInchX())));
    return 96;
}

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
    // A file named in the print dialog is no printer: the PDF button of the preview is the way
    // to a file, so without a real destination the operator hears that none is installed.
    return m_systemHasPrinter();
}

QPageLayout PrinterSetup::defaultLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QPageLayout PrinterSetup::pageLayout() const {
    return installed() ? m_printer->pageLayout() : defaultLayout();
}

int PrinterSetup::resolution() const {
    return installed() ? m_printer->resolution() : DefaultResolution;
}

PageGeometry PrinterSetup::geometry() const {
    if (installed())
        return PageGeometry::forDevice(m_printer->width(), m_printer->height(),
                                       m_printer->logicalDpiX(), m_printer->logicalDpiY(),
                                       screenDpi());
    const QRect page = defaultLayout().paintRectPixels(DefaultResolution);
    return PageGeometry::forDevice(page.width(), page.height(), DefaultResolution,
                                   DefaultResolution, screenDpi());
}

int PrinterSetup::screenDpi() const {
    if (m_screenDpi > 0)
        return m_screenDpi;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return std::max(1, static_cast<int>(std::lround(screen->logicalDotsPerInchX())));
    return 96;
}

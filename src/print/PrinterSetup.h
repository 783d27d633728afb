#pragma once

#include "print/PageGeometry.h"

#include <QPageLayout>
#include <QPrinter>
#include <functional>
#include <memory>

// The printer chosen in the print dialog, and the page every table is laid out for. Without
// any printer the layout falls back to an A4 page, so the preview and the PDF still work.
class PrinterSetup {
public:
    // Whether the system offers a print destination; the default asks the print system (CUPS).
    using PrinterCheck = std::function<bool()>;

    explicit PrinterSetup(PrinterCheck systemHasPrinter = {});
    ~PrinterSetup();
    PrinterSetup(const PrinterSetup&) = delete;
    PrinterSetup& operator=(const PrinterSetup&) = delete;

    QPrinter& printer() { return *m_printer; }

    // The system has a print destination.
    bool installed() const;
    // The page of the chosen printer, or A4 portrait with 10 mm margins at 1200 dpi.
    PageGeometry geometry() const;
    QPageLayout pageLayout() const;
    int resolution() const;

    // Screen pixels per inch that the table's widths refer to; the primary screen's by default.
    int screenDpi() const;
    void setScreenDpi(int dpi) { m_screenDpi = dpi; }

    static QPageLayout defaultLayout();
    static constexpr int DefaultResolution = 1200;

private:
    PrinterCheck m_systemHasPrinter;
    std::unique_ptr<QPrinter> m_printer;
    int m_screenDpi = 0;
};

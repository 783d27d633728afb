#pragma once

#include "print/PageGeometry.h"

#include <QPageLayout>
#include <QPrinter>
#include <functional>
#include <memory>
#include <optional>

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
    // The print dialog sent the printout to a PDF file ("In PDF-Datei drucken"): its name.
    std::optional<QString> outputFile() const;
    // The page of the chosen printer or file, or A4 portrait with 10 mm margins at 1200 dpi.
    PageGeometry geometry() const;
    QPageLayout pageLayout() const;
    int resolution() const;

    // While a printout runs on another thread the printer is its own: the page it was started
    // with is answered from a copy, and the printer is not to be touched.
    void beginPrinting();
    void endPrinting();
    bool printing() const { return m_frozen.has_value(); }

    // Screen pixels per inch that the table's widths refer to; the primary screen's by default.
    int screenDpi() const;
    void setScreenDpi(int dpi) { m_screenDpi = dpi; }

    static QPageLayout defaultLayout();
    static constexpr int DefaultResolution = 1200;

private:
    struct Page {
        bool installed;
        std::optional<QString> outputFile;
        PageGeometry geometry;
        QPageLayout pageLayout;
        int resolution;
    };
    bool usesPrinter() const;

    PrinterCheck m_systemHasPrinter;
    std::optional<Page> m_frozen;
    std::unique_ptr<QPrinter> m_printer;
    int m_screenDpi = 0;
};

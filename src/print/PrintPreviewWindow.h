#pragma once

#include "output/BackgroundExport.h"
#include "print/PrinterSetup.h"

#include <QImage>
#include <QWidget>
#include <memory>

class FileDialogs;
class ExportProgress;
class GridPrinter;
class QLabel;
class QScrollArea;
class QSpinBox;
class QToolButton;
class CompetitionTableView;

// The print preview: one page of the prepared table at a time, laid out for the chosen
// printer, with "Drucken" and a PDF copy of the same pages. Created hidden at start-up and
// shown, not modally, whenever a table is prepared for printing. Printouts and PDF files are
// made in the background from a copy of the table; the tool bar shows how far they are.
class PrintPreviewWindow : public QWidget {
    Q_OBJECT
public:
    // dialogs: where "PDF speichern..." asks for the file name.
    explicit PrintPreviewWindow(std::shared_ptr<FileDialogs> dialogs, QWidget* parent = nullptr,
                                PrinterSetup::PrinterCheck systemHasPrinter = {});
    ~PrintPreviewWindow() override;

    static QString initialCaption() { return QStringLiteral("Druckvorschau"); }

    PrinterSetup& printers() { return m_printers; }
    // The table shown and printed from now on.
    void setTable(const CompetitionTableView& view);
    GridPrinter* table() const { return m_table.get(); }

    // Caption of the messages this window shows.
    void setMessageTitle(const QString& title) { m_messageTitle = title; }

    // Printouts and PDF files being made.
    BackgroundExport& jobs() { return m_jobs; }
    static QString noPrinterHint() {
        return QStringLiteral(
            "Mit „PDF speichern...“ werden die Seiten als PDF-Datei gespeichert.");
    }

    QToolButton* printButton = nullptr;   // "Drucken"
    QToolButton* savePdfButton = nullptr; // "PDF speichern..."
    QSpinBox* pageBox = nullptr;
    QLabel* pageCountLabel = nullptr;
    QScrollArea* pageScrollArea = nullptr;
    QLabel* pagePicture = nullptr;
    const QImage& pageImage() const { return m_image; }

    // Sizes the page to the printer, places the window and draws the page; run on every show.
    void placeWhenShown();

public Q_SLOTS:
    // Prints on the chosen printer, or writes the PDF file chosen in the print dialog; without
    // either the operator is told and offered the PDF copy.
    void print();
    void pageNumberChanged();
    // Asks for a file name and writes every page there as a PDF; a failed write says so.
    void savePdf();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeOnScreen();
    void redraw();
    void tellNoPrinter();
    void startPrinting();
    void writePdf(const QString& fileName, const std::optional<QPageLayout>& pageLayout);
    void tell(const QString& message, const QString& reason);
    void showBusy();

    PrinterSetup m_printers;
    // After the printer: a printout still running is finished before the printer goes.
    BackgroundExport m_jobs;
    ExportProgress* m_progress = nullptr;
    std::unique_ptr<GridPrinter> m_table;
    std::shared_ptr<FileDialogs> m_dialogs;
    QString m_messageTitle;
    QImage m_image;
    // Placings left until the window manager's frame is known; a slow one frames late.
    int m_framePlacingsLeft = 0;
};

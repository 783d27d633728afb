#pragma once

#include "print/PrinterSetup.h"

#include <QImage>
#include <QWidget>
#include <memory>

class FileDialogs;
class GridPrinter;
class QLabel;
class QScrollArea;
class QSpinBox;
class QToolButton;
class TSortGridView;

// The print preview: one page of the prepared table at a time, laid out for the chosen
// printer, with "Drucken" and a PDF copy of the same pages. Created hidden at start-up and
// shown, not modally, whenever a table is prepared for printing.
class TFormPP : public QWidget {
    Q_OBJECT
public:
    // dialogs: where "PDF speichern..." asks for the file name.
    explicit TFormPP(std::shared_ptr<FileDialogs> dialogs, QWidget* parent = nullptr,
                     PrinterSetup::PrinterCheck systemHasPrinter = {});
    ~TFormPP() override;

    static QString initialCaption() { return QStringLiteral("Druckvorschau"); }

    PrinterSetup& printers() { return m_printers; }
    // The table shown and printed from now on.
    void setTable(const TSortGridView& view);
    GridPrinter* table() const { return m_table.get(); }

    // Caption of the messages this window shows.
    void setMessageTitle(const QString& title) { m_messageTitle = title; }

    QToolButton* Button1 = nullptr;  // "Drucken"
    QToolButton* bSavePdf = nullptr; // "PDF speichern..."
    QSpinBox* sePage = nullptr;
    QLabel* LabelVon = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QLabel* Image1 = nullptr;
    const QImage& pageImage() const { return m_image; }

    // Sizes the page to the printer, places the window and draws the page; run on every show.
    void FormShow();

public Q_SLOTS:
    void Button1Click();
    void sePageChange();
    // Asks for a file name and writes every page there as a PDF; a failed write says so.
    void savePdf();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeOnScreen();
    void redraw();

    PrinterSetup m_printers;
    std::unique_ptr<GridPrinter> m_table;
    std::shared_ptr<FileDialogs> m_dialogs;
    QString m_messageTitle;
    QImage m_image;
};

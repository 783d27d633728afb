#pragma once

#include "competition/TimeFormat.h"
#include "output/SubstituteEvidence.h"
#include "print/PrintPreviewCommand.h"

#include <QDialog>
#include <optional>

class FileDialogs;
class PrinterSetup;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

// "Ersatzzeit berechnen": shows how the substitute time of a run without a stop barrier time
// comes about, from System B or, where B has none, from a hand time the operator types in the
// current format; "Eintragen" hands it on only when there is one. The evidence page can be
// printed and kept as PDF.
class SubstituteTimeDialog : public QDialog {
    Q_OBJECT
public:
    // input.calculation is filled here. A hand time is asked for where System B has no time
    // for the run, or when the operator chose to type one ("Handzeit eintragen...").
    SubstituteTimeDialog(SubstituteEvidence::Input input, const TimeFormat& format,
                         FileDialogs& fileDialogs, bool askHandTime = false,
                         QWidget* parent = nullptr);

    // The substitute in hundredths, when one can be entered.
    std::optional<qint32> resultHundredths() const;
    const SubstituteEvidence::Input& evidence() const { return m_input; }
    // Writes the evidence page as PDF; false when it could not be written.
    bool writePdf(const QString& fileName) const;
    // "Drucken..." on the printer the protocol is printed on, through the print dialog (the
    // desktop's when unset); without a printer the button says why.
    void setPrinting(PrinterSetup* printers, PrintPreviewCommand::PrintDialog dialog = {});
    // The row and run that "Eintragen" writes the time into, and why that is a new row, if so.
    void setDestination(const QString& rowAndRun, const QString& newRowReason = QString());

    QLineEdit* handTime = nullptr;
    QTextBrowser* page = nullptr;
    QPushButton* enterButton = nullptr;
    QPushButton* pdfButton = nullptr;
    QPushButton* printButton = nullptr;
    QLabel* destination = nullptr;

private:
    void recalculate();
    void savePdf();
    void print();
    void updatePrintButton();

    SubstituteEvidence::Input m_input;
    TimeFormat m_format;
    FileDialogs& m_fileDialogs;
    bool m_valid = false;
    QLabel* m_hint = nullptr;
    PrinterSetup* m_printers = nullptr;
    PrintPreviewCommand::PrintDialog m_printDialog = PrintPreviewCommand::desktopDialog;
};

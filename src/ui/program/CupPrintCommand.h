#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"
#include "print/PrintPreviewCommand.h"

#include <QPointer>
#include <QString>

class PrintPreviewWindow;
class QWidget;

// The cup's standings on paper and as PDF through the program's print preview: every class
// and club table as one printout (CupPrintTables::wholeTable) with the cup's name on each
// page. "Drucken..." asks for the printer and shows the preview, whose "Drucken" and
// "PDF speichern..." work in the background as for the race's tables; exportPdf asks for the
// file at once and writes it the same way.
class CupPrintCommand {
public:
    CupPrintCommand(PrintPreviewWindow& preview, QString programTitle,
                    PrintPreviewCommand::PrintDialog dialog = {});

    // True when the preview was shown, false when the print dialog was cancelled or a
    // printout still runs (its preview then comes to the front).
    bool preview(QWidget* parent, const CupStandings& standings, const QString& cupName,
                 CupRules::Scoring scoring);
    // Asks for the file name (over the preview window, as its "PDF speichern..." does) and
    // writes every page as a PDF, off the window's thread; a write that fails says so.
    void exportPdf(const CupStandings& standings, const QString& cupName,
                   CupRules::Scoring scoring);

private:
    // The preview's table from now on; the one before it goes once the preview lets it go.
    class Printout;
    Printout* newPrintout(const CupStandings& standings, CupRules::Scoring scoring);
    void keepOnly(Printout* printout);

    QPointer<PrintPreviewWindow> m_preview;
    QString m_programTitle;
    PrintPreviewCommand::PrintDialog m_dialog;
};

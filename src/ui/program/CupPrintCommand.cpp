#include "ui/program/CupPrintCommand.h"

#include "competition/CompetitionTable.h"
#include "competition/TimeFormat.h"
#include "competition/widgets/CompetitionTableView.h"
#include "cup/CupPrintTables.h"
#include "print/GridPrinter.h"
#include "print/PrintPreviewWindow.h"

#include <QFontMetrics>
#include <algorithm>
#include <memory>

// The table the preview prints from and the view it reads the layout of. The preview keeps a
// reference to the view, so both live as long as the preview window shows them.
class CupPrintCommand::Printout : public QObject {
public:
    Printout(std::unique_ptr<CompetitionTable> grid, QObject* owner)
        : QObject(owner), m_grid(std::move(grid)),
          m_view(std::make_unique<CompetitionTableView>(m_grid.get(), &m_format)) {
        setObjectName(QStringLiteral("cupPrintout"));
        // No stage layout fits these columns: each is as wide as its widest text, with room
        // to spare for a printer's font, which measures wider than the screen's.
        const QFontMetrics metrics(m_view->font());
        for (int c = 0; c < m_grid->columns(); ++c) {
            int widest = 0;
            for (int r = 0; r < m_grid->rowsWithHeader(); ++r)
                widest = std::max(widest, metrics.horizontalAdvance(m_grid->cell(c, r)));
            m_view->setColumnHidden(c, false);
            m_view->setColumnWidth(c, widest * 11 / 10 + 8);
        }
    }
    CompetitionTable& grid() { return *m_grid; }
    const CompetitionTableView& view() const { return *m_view; }

private:
    std::unique_ptr<CompetitionTable> m_grid;
    TimeFormat m_format{TimeFormat::Hundredths, u','};
    std::unique_ptr<CompetitionTableView> m_view;
};

CupPrintCommand::CupPrintCommand(PrintPreviewWindow& preview, QString programTitle,
                                 PrintPreviewCommand::PrintDialog dialog)
    : m_preview(&preview), m_programTitle(std::move(programTitle)), m_dialog(std::move(dialog)) {}

CupPrintCommand::Printout* CupPrintCommand::newPrintout(const CupStandings& standings,
                                                        CupRules::Scoring scoring) {
    return new Printout(CupPrintTables::wholeTable(standings, scoring), m_preview.data());
}

void CupPrintCommand::keepOnly(Printout* printout) {
    const GridPrinter* shown = m_preview->table();
    const bool taken = shown && &shown->view() == &printout->view();
    const QList<QObject*> printouts = m_preview->findChildren<QObject*>(
        QStringLiteral("cupPrintout"), Qt::FindDirectChildrenOnly);
    for (QObject* other : printouts) {
        // The one the preview shows stays; a printout not taken goes at once.
        if (taken ? other != printout : other == printout)
            delete other;
    }
}

bool CupPrintCommand::preview(QWidget* parent, const CupStandings& standings,
                              const QString& cupName, CupRules::Scoring scoring) {
    if (!m_preview)
        return false;
    Printout* printout = newPrintout(standings, scoring);
    PrintPreviewCommand command(*m_preview, m_programTitle, parent, m_dialog);
    const bool shown = command.run(printout->view(), cupName);
    keepOnly(printout);
    return shown;
}

void CupPrintCommand::exportPdf(const CupStandings& standings, const QString& cupName,
                                CupRules::Scoring scoring) {
    if (!m_preview)
        return;
    // A printout still running owns the preview's table; its window comes to the front.
    if (m_preview->printers().printing()) {
        m_preview->raise();
        m_preview->activateWindow();
        return;
    }
    Printout* printout = newPrintout(standings, scoring);
    m_preview->setMessageTitle(m_programTitle);
    m_preview->setTable(printout->view());
    keepOnly(printout);
    PrintOptions& options = printout->grid().printOptions();
    options.pageTitle = cupName;
    options.jobTitle = PrintPreviewCommand::jobTitle(m_programTitle);
    options.previewPage = 1;
    options.fromRow = 1;
    options.toRow = printout->grid().rowsWithHeader() - 1;
    m_preview->savePdf();
}

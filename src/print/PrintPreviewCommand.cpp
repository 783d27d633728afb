#include "print/PrintPreviewCommand.h"

#include "competition/CompetitionTable.h"
#include "print/GridPrinter.h"
#include "print/PrintPreviewWindow.h"

#include <QLabel>
#include <QPrintDialog>
#include <QSpinBox>

bool PrintPreviewCommand::desktopDialog(QPrinter& printer, int pageCount, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, qMax(1, pageCount));
    dialog.setFromTo(1, qMax(1, pageCount));
    return dialog.exec() == QDialog::Accepted;
}

PrintPreviewCommand::PrintPreviewCommand(PrintPreviewWindow& preview, QString programTitle,
                                         QWidget* parent, PrintDialog dialog)
    : m_preview(preview), m_programTitle(std::move(programTitle)), m_parent(parent),
      m_dialog(dialog ? std::move(dialog) : PrintDialog(desktopDialog)) {}

bool PrintPreviewCommand::run(const CompetitionTableView& view, const QString& tabCaption) {
    // A printout still running owns the printer; its preview comes to the front instead.
    if (m_preview.printers().printing()) {
        m_preview.raise();
        m_preview.activateWindow();
        return false;
    }
    m_preview.setMessageTitle(m_programTitle);
    m_preview.setTable(view);
    GridPrinter& table = *m_preview.table();
    if (!m_dialog(m_preview.printers().printer(), table.pageCount(), m_parent))
        return false;
    m_preview.setWindowTitle(QStringLiteral("Druckvorschau ") + tabCaption);
    PrintOptions& options = table.grid().printOptions();
    options.pageTitle = tabCaption;
    options.jobTitle = jobTitle(m_programTitle);
    options.previewPage = 1;
    options.copies = 1;
    m_preview.pageCountLabel->setText(QStringLiteral(" von ") + QString::number(table.pageCount()));
    options.fromRow = 1;
    options.toRow = table.grid().rowsWithHeader() - 1;
    const int pages = table.pageCount();
    {
        // The page is drawn once, when the window is shown, not on every step of the spin box.
        const QSignalBlocker quiet(m_preview.pageBox);
        m_preview.pageBox->setMaximum(pages);
        m_preview.pageBox->setEnabled(pages > 1);
        m_preview.pageBox->setValue(1);
    }
    // Shown already: laid out and drawn again in place, without closing and reopening.
    if (m_preview.isVisible())
        m_preview.placeWhenShown();
    else
        m_preview.show();
    m_preview.raise();
    m_preview.activateWindow();
    return true;
}

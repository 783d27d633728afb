#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWidget;
class PrintPreviewWindow;
class CompetitionTableView;

// "Druckvorschau...": lets the operator choose the printer, prepares the shown table's print
// settings and the preview window for it, and shows the preview.
class PrintPreviewCommand {
public:
    // Runs the print dialog on the printer with the pages 1..pageCount offered; true for OK.
    using PrintDialog = std::function<bool(QPrinter& printer, int pageCount, QWidget* parent)>;

    PrintPreviewCommand(PrintPreviewWindow& preview, QString programTitle, QWidget* parent,
                        PrintDialog dialog = {});

    // The desktop's print dialog, the default of every printout.
    static bool desktopDialog(QPrinter& printer, int pageCount, QWidget* parent);

    static QString jobTitle(const QString& programTitle) {
        return programTitle + QStringLiteral("  PROTOKOLL");
    }

    // True when the preview was shown, false when the dialog was cancelled.
    bool run(const CompetitionTableView& view, const QString& tabCaption);

private:
    PrintPreviewWindow& m_preview;
    QString m_programTitle;
    QWidget* m_parent;
    PrintDialog m_dialog;
};

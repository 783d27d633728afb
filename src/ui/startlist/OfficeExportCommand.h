#pragma once

#include "output/FileWriteResult.h"
#include "output/OfficeDocumentExport.h"

#include <QObject>
#include <QString>
#include <functional>

class Competition;
class ProgramEnvironment;
class QUrl;
class QWidget;

// The Word and Excel commands of the main window: the documents are written in the background
// (OfficeDocumentExport), then opened with the desktop's application for the type, and the
// operator is told what could not be written. The commands follow a template that comes or goes.
class OfficeExportCommand : public QObject {
    Q_OBJECT
public:
    using Sources = OfficeDocumentExport::Sources;
    using Opener = std::function<bool(const QUrl& url)>;
    using Teller = std::function<void(const QString& message, const QString& reason)>;

    enum WordMode { Shown = 0, Saved = 1 };

    OfficeExportCommand(const Competition& competition, const ProgramEnvironment& environment,
                        Sources sources, Teller teller, Opener opener, QObject* parent = nullptr);
    ~OfficeExportCommand() override;

    // The page's table into a document from the Word template, written in the background. Mode
    // Shown opens the written document and tells every failure; mode Saved (the save dialog)
    // only writes, returns the failure of a missing template to the dialog, which tells it, and
    // tells the later ones itself. A success means the document is being written.
    FileWriteResult exportToWord(int mode, const QString& fileName, int page);

    // All four stage tables into fileName, based on the Excel template when there is one, then
    // opened; a failure is told.
    void exportToExcel(const QString& fileName);

    OfficeDocumentExport& documents() { return m_documents; }
    const OfficeDocumentExport& documents() const { return m_documents; }

    // A box on the window that does not hold it up, with the reason under the message.
    static Teller messageBoxOn(QWidget& window, const QString& title);

private:
    void done(const FileWriteResult& result, const QString& fileName, bool open);

    Teller m_teller;
    Opener m_opener;
    // Last, so that it is gone, and with it the documents still waiting, before whom they tell.
    OfficeDocumentExport m_documents;
};

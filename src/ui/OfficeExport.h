#pragma once

#include "output/FileWriteResult.h"

#include <QDate>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class BackgroundExport;
class Competition;
class ProgramEnvironment;
class QUrl;
class QWidget;

// The Word and Excel commands of the main window: it copies the stage tables and the window's
// texts, builds and writes the documents in the background where the web page goes, opens them
// with the desktop's application for the type and tells the operator what could not be
// written. It also watches the templates, so the commands follow one that comes or goes.
class OfficeExport : public QObject {
    Q_OBJECT
public:
    // What the documents take from the window.
    struct Sources {
        std::function<QString()> eventTitle;         // the event title field
        std::function<QString(int page)> tabCaption; // with its leading blanks
        std::function<QString()> windowCaption;      // the new workbook's subject
    };
    using Opener = std::function<bool(const QUrl& url)>;
    using Teller = std::function<void(const QString& message, const QString& reason)>;

    enum WordMode { Shown = 0, Saved = 1 };

    OfficeExport(const Competition& competition, const ProgramEnvironment& environment,
                 Sources sources, Teller teller, Opener opener, QObject* parent = nullptr);
    ~OfficeExport() override;

    // DefaultExportName + ".docx" / ".xlsx", without folder: beside the web page.
    static QString wordFileName(const QDate& date);
    static QString excelFileName(const QDate& date);

    // The page's table into a document from the Word template, written in the background. Mode
    // Shown opens the written document and tells every failure; mode Saved (the save dialog)
    // only writes, returns the failure of a missing template to the dialog, which tells it, and
    // tells the later ones itself. A success means the document is being written.
    FileWriteResult ExportToWord(int mode, const QString& fileName, int page);

    // All four stage tables into fileName, based on the Excel template when there is one, then
    // opened; a failure is told.
    void ExportToExcel(const QString& fileName);

    // The templates as they are now; a missing one is named where it is expected.
    QString wordTemplatePath() const;
    bool wordTemplatePresent() const;
    QString excelTemplatePath() const;

    BackgroundExport& jobs() { return *m_jobs; }

    // A box on the window that does not hold it up, with the reason under the message.
    static Teller messageBoxOn(QWidget& window, const QString& title);

Q_SIGNALS:
    // A template appeared, went or changed.
    void templatesChanged();
    // A document was written or refused.
    void finished(const FileWriteResult& result);

private:
    void watchTemplateFolders();
    void done(const FileWriteResult& result, const QString& fileName, bool open);

    const Competition& m_competition;
    const ProgramEnvironment& m_environment;
    Sources m_sources;
    Teller m_teller;
    Opener m_opener;
    BackgroundExport* m_jobs = nullptr;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

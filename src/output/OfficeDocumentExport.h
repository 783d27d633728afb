#pragma once

#include "output/FileWriteResult.h"

#include <QDate>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class BackgroundExport;
class Competition;

// The Word document of one stage table and the Excel workbook of all four: the tables and the
// texts are copied at once, the documents are built and written in the background, and the
// outcome comes back on this object's thread. The folders the templates are looked up in are
// watched, so a template that comes or goes is noticed.
class OfficeDocumentExport : public QObject {
    Q_OBJECT
public:
    // The texts the documents take besides the tables.
    struct Sources {
        std::function<QString()> eventTitle;         // the title line of the event
        std::function<QString(int page)> tabCaption; // the stage's name, with its leading blanks
        std::function<QString()> windowCaption;      // the new workbook's subject
    };
    // Where the templates are: looked up again for every document, as one may come or go.
    struct Templates {
        std::function<QString()> wordPath;
        std::function<QString()> excelPath;
        QStringList folders; // where the lookups search; the missing ones are not watched
    };
    using Done = std::function<void(const FileWriteResult& result)>;

    OfficeDocumentExport(const Competition& competition, Templates templates, Sources sources,
                         QObject* parent = nullptr);
    ~OfficeDocumentExport() override;

    // DefaultExportName + ".docx" / ".xlsx", without folder.
    static QString wordFileName(const QDate& date);
    static QString excelFileName(const QDate& date);

    // The page's table into a document from the Word template. A missing template is returned
    // at once and nothing is written; otherwise the document is being written, and done gets
    // the outcome.
    FileWriteResult writeWord(const QString& fileName, int page, Done done);

    // All four stage tables into fileName, based on the Excel template when there is one;
    // done gets the outcome.
    void writeExcel(const QString& fileName, Done done);

    // The templates as they are now; a missing one is named where it is expected.
    QString wordTemplatePath() const;
    bool wordTemplatePresent() const;
    QString excelTemplatePath() const;

    BackgroundExport& jobs() { return *m_jobs; }

    // A sheet's rows with the line that tells whether the results are official below them.
    static QList<QStringList> withReleaseLine(QList<QStringList> rows, const QString& releaseText);

Q_SIGNALS:
    // A template appeared, went or changed.
    void templatesChanged();

private:
    void watchTemplateFolders();

    const Competition& m_competition;
    Templates m_templates;
    Sources m_sources;
    BackgroundExport* m_jobs = nullptr;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

#include "ui/OfficeExport.h"

#include "competition/Competition.h"
#include "output/BackgroundExport.h"
#include "output/ExcelWorkbook.h"
#include "output/ExportColumns.h"
#include "output/OfficeTemplate.h"
#include "output/WordDocument.h"
#include "platform/ProgramPaths.h"
#include "platform/RegularFile.h"
#include "session/ProgramEnvironment.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

OfficeExport::OfficeExport(const Competition& competition, const ProgramEnvironment& environment,
                           Sources sources, Teller teller, Opener opener, QObject* parent)
    : QObject(parent), m_competition(competition), m_environment(environment),
      m_sources(std::move(sources)), m_teller(std::move(teller)), m_opener(std::move(opener)),
      m_jobs(new BackgroundExport(this)) {
    // A folder changes in bursts (a file is written under a temporary name, then renamed).
    m_settle.setSingleShot(true);
    m_settle.setInterval(50);
    connect(&m_settle, &QTimer::timeout, this, &OfficeExport::templatesChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    watchTemplateFolders();
}

OfficeExport::~OfficeExport() = default;

QString OfficeExport::wordFileName(const QDate& date) {
    return ProgramPaths::DefaultExportName(date) + QStringLiteral(".docx");
}

QString OfficeExport::excelFileName(const QDate& date) {
    return ProgramPaths::DefaultExportName(date) + QStringLiteral(".xlsx");
}

void OfficeExport::watchTemplateFolders() {
    QStringList folders;
    for (const QString& folder : {m_environment.executableDir(), m_environment.dataDir()}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            folders.append(folder);
    }
    if (!folders.isEmpty())
        m_watcher.addPaths(folders);
}

QString OfficeExport::wordTemplatePath() const {
    return m_environment.wordTemplatePath();
}

bool OfficeExport::wordTemplatePresent() const {
    return QFileInfo(wordTemplatePath()).isFile();
}

QString OfficeExport::excelTemplatePath() const {
    return m_environment.excelTemplatePath();
}

FileWriteResult OfficeExport::ExportToWord(int mode, const QString& fileName, int page) {
    const QString templatePath = wordTemplatePath();
    // Looked at again now: the template may have gone since the command was last offered.
    if (!RegularFile::entryExists(templatePath)) {
        Q_EMIT templatesChanged();
        const FileWriteResult missing = FileWriteResult::failure(
            OfficeTemplate::missingText(OfficeTemplate::Kind::Word, templatePath), QString());
        if (mode == Shown)
            done(missing, fileName, false);
        return missing;
    }
    const auto& table = m_competition.stageTable(page);
    QList<QStringList> rows = ExportColumns::rows(table, ExportColumns::wordColumns(table));
    const QString title = m_sources.eventTitle();
    m_jobs->run(
        QStringLiteral("Word-Dokument wird geschrieben"),
        [templatePath, fileName, title, rows = std::move(rows)](BackgroundExport::Progress&) {
            return WordDocument::ExportToWord(templatePath, fileName, title, rows);
        },
        [this, fileName, mode](const FileWriteResult& result) {
            done(result, fileName, mode == Shown);
        });
    return FileWriteResult::success();
}

void OfficeExport::ExportToExcel(const QString& fileName) {
    QList<ExcelWorkbook::Sheet> sheets;
    for (int page = 0; page < 4; ++page) {
        const auto& table = m_competition.stageTable(page);
        sheets.append({m_sources.tabCaption(page).trimmed(),
                       ExportColumns::rows(table, ExportColumns::excelColumns(table))});
    }
    const ExcelWorkbook::Properties properties{m_sources.eventTitle(), m_sources.windowCaption(),
                                               ExcelWorkbook::creditText()};
    // Whatever stands under the template's name is the template, also a link to nothing or an
    // old .xls: it is told when it cannot be used, never passed over for a new workbook.
    const QString templatePath = excelTemplatePath();
    const std::optional<QString> usedTemplate = RegularFile::entryExists(templatePath)
                                                    ? std::optional<QString>(templatePath)
                                                    : std::nullopt;
    m_jobs->run(
        QStringLiteral("Excel-Arbeitsmappe wird geschrieben"),
        [usedTemplate, fileName, sheets = std::move(sheets), properties,
         format = m_competition.timeFormat()](BackgroundExport::Progress&) {
            return ExcelWorkbook::ExportToExcel(usedTemplate, fileName, sheets, properties, format);
        },
        [this, fileName](const FileWriteResult& result) { done(result, fileName, true); });
}

void OfficeExport::done(const FileWriteResult& result, const QString& fileName, bool open) {
    if (result && open && m_opener)
        m_opener(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
    else if (!result && m_teller)
        m_teller(result.message, result.reason);
    Q_EMIT finished(result);
}

OfficeExport::Teller OfficeExport::messageBoxOn(QWidget& window, const QString& title) {
    return [&window, title](const QString& message, const QString& reason) {
        auto* box =
            new QMessageBox(QMessageBox::Critical, title, message, QMessageBox::Ok, &window);
        box->setObjectName(QStringLiteral("officeExportMessage"));
        box->setInformativeText(reason);
        box->setModal(false);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
        box->raise();
    };
}

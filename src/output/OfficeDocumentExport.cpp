#include "output/OfficeDocumentExport.h"

#include "competition/Competition.h"
#include "output/BackgroundExport.h"
#include "output/ExcelWorkbook.h"
#include "output/ExportColumns.h"
#include "output/OfficeTemplate.h"
#include "output/WordDocument.h"
#include "platform/ProgramPaths.h"
#include "platform/RegularFile.h"

#include <QFileInfo>

OfficeDocumentExport::OfficeDocumentExport(const Competition& competition, Templates templates,
                                           Sources sources, QObject* parent)
    : QObject(parent), m_competition(competition), m_templates(std::move(templates)),
      m_sources(std::move(sources)), m_jobs(new BackgroundExport(this)) {
    // A folder changes in bursts (a file is written under a temporary name, then renamed).
    m_settle.setSingleShot(true);
    m_settle.setInterval(50);
    connect(&m_settle, &QTimer::timeout, this, &OfficeDocumentExport::templatesChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    watchTemplateFolders();
}

OfficeDocumentExport::~OfficeDocumentExport() = default;

QString OfficeDocumentExport::wordFileName(const QDate& date) {
    return ProgramPaths::defaultExportName(date) + QStringLiteral(".docx");
}

QString OfficeDocumentExport::excelFileName(const QDate& date) {
    return ProgramPaths::defaultExportName(date) + QStringLiteral(".xlsx");
}

void OfficeDocumentExport::watchTemplateFolders() {
    QStringList folders;
    for (const QString& folder : std::as_const(m_templates.folders)) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            folders.append(folder);
    }
    if (!folders.isEmpty())
        m_watcher.addPaths(folders);
}

QString OfficeDocumentExport::wordTemplatePath() const {
    return m_templates.wordPath();
}

bool OfficeDocumentExport::wordTemplatePresent() const {
    return QFileInfo(wordTemplatePath()).isFile();
}

QList<QStringList> OfficeDocumentExport::withReleaseLine(QList<QStringList> rows,
                                                         const QString& releaseText) {
    if (releaseText.isEmpty() || rows.isEmpty())
        return rows;
    // Below the table, after an empty row, so the header stays the first row for the tools
    // that read the sheet; in the name column, which is wide already.
    const QStringList& header = rows.first();
    const qsizetype column = qMax<qsizetype>(0, header.indexOf(QStringLiteral("Name")));
    QStringList line(header.size());
    line[column] = releaseText;
    rows.append(QStringList(header.size()));
    rows.append(line);
    return rows;
}

QString OfficeDocumentExport::excelTemplatePath() const {
    return m_templates.excelPath();
}

FileWriteResult OfficeDocumentExport::writeWord(const QString& fileName, int page, Done done) {
    const QString templatePath = wordTemplatePath();
    // Looked at again now: the template may have gone since the command was last offered.
    if (!RegularFile::entryExists(templatePath)) {
        Q_EMIT templatesChanged();
        return FileWriteResult::failure(
            OfficeTemplate::missingText(OfficeTemplate::Kind::Word, templatePath), QString());
    }
    const auto& table = m_competition.stageTable(page);
    QList<QStringList> rows = ExportColumns::rows(table, ExportColumns::wordColumns(table));
    const QString title = m_sources.eventTitle();
    const QString note = m_competition.releaseText();
    m_jobs->run(
        QStringLiteral("Word-Dokument wird geschrieben"),
        [templatePath, fileName, title, note, rows = std::move(rows)](BackgroundExport::Progress&) {
            return WordDocument::exportToWord(templatePath, fileName, title, note, rows);
        },
        std::move(done));
    return FileWriteResult::success();
}

void OfficeDocumentExport::writeExcel(const QString& fileName, Done done) {
    QList<ExcelWorkbook::Sheet> sheets;
    for (int page = 0; page < 4; ++page) {
        const auto& table = m_competition.stageTable(page);
        sheets.append(
            {m_sources.tabCaption(page).trimmed(),
             withReleaseLine(ExportColumns::rows(table, ExportColumns::excelColumns(table)),
                             m_competition.releaseText())});
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
            return ExcelWorkbook::exportToExcel(usedTemplate, fileName, sheets, properties, format);
        },
        std::move(done));
}

#include "ui/OfficeExport.h"

#include "competition/Competition.h"
#include "output/ExcelWorkbook.h"
#include "output/ExportColumns.h"
#include "output/WordDocument.h"
#include "platform/ProgramPaths.h"
#include "ui/ProgramEnvironment.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

// The hourglass for as long as a document is built and written, also when it fails.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

OfficeExport::OfficeExport(const Competition& competition, const ProgramEnvironment& environment,
                           Sources sources, Teller teller, Opener opener)
    : m_competition(competition), m_environment(environment), m_sources(std::move(sources)),
      m_teller(std::move(teller)), m_opener(std::move(opener)) {}

QString OfficeExport::wordFileName(const QDate& date) {
    return ProgramPaths::DefaultExportName(date) + QStringLiteral(".docx");
}

QString OfficeExport::excelFileName(const QDate& date) {
    return ProgramPaths::DefaultExportName(date) + QStringLiteral(".xlsx");
}

FileWriteResult OfficeExport::ExportToWord(int mode, const QString& fileName, int page) {
    FileWriteResult result;
    {
        const WaitCursor hourglass;
        result = WordDocument::ExportToWord(m_environment.wordTemplatePath(), fileName,
                                            m_sources.eventTitle(), m_competition.stageTable(page));
    }
    if (mode == Saved)
        return result;
    if (result)
        open(fileName);
    else if (m_teller)
        m_teller(result.message, result.reason);
    return result;
}

FileWriteResult OfficeExport::ExportToExcel(const QString& fileName) {
    QList<ExcelWorkbook::Sheet> sheets;
    for (int page = 0; page < 4; ++page) {
        const auto& table = m_competition.stageTable(page);
        sheets.append({m_sources.tabCaption(page).trimmed(),
                       ExportColumns::rows(table, ExportColumns::excelColumns(table))});
    }
    const ExcelWorkbook::Properties properties{m_sources.eventTitle(), m_sources.windowCaption(),
                                               ExcelWorkbook::creditText()};
    const QString templatePath = m_environment.excelTemplatePath();
    const std::optional<QString> usedTemplate =
        QFileInfo(templatePath).exists() ? std::optional<QString>(templatePath) : std::nullopt;
    FileWriteResult result;
    {
        const WaitCursor hourglass;
        result = ExcelWorkbook::ExportToExcel(usedTemplate, fileName, sheets, properties,
                                              m_competition.timeFormat());
    }
    if (result)
        open(fileName);
    else if (m_teller)
        m_teller(result.message, result.reason);
    return result;
}

void OfficeExport::open(const QString& fileName) const {
    if (m_opener)
        m_opener(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
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

#include "ui/startlist/OfficeExportCommand.h"

#include "session/ProgramEnvironment.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

OfficeDocumentExport::Templates templatesOf(const ProgramEnvironment& environment) {
    return {[&environment] { return environment.wordTemplatePath(); },
            [&environment] { return environment.excelTemplatePath(); },
            {environment.executableDir(), environment.dataDir()}};
}

} // namespace

OfficeExportCommand::OfficeExportCommand(const Competition& competition,
                                         const ProgramEnvironment& environment, Sources sources,
                                         Teller teller, Opener opener, QObject* parent)
    : QObject(parent), m_teller(std::move(teller)), m_opener(std::move(opener)),
      m_documents(competition, templatesOf(environment), std::move(sources)) {}

OfficeExportCommand::~OfficeExportCommand() = default;

FileWriteResult OfficeExportCommand::exportToWord(int mode, const QString& fileName, int page) {
    const FileWriteResult started = m_documents.writeWord(
        fileName, page, [this, fileName, mode](const FileWriteResult& result) {
            done(result, fileName, mode == Shown);
        });
    if (!started && mode == Shown)
        done(started, fileName, false);
    return started;
}

void OfficeExportCommand::exportToExcel(const QString& fileName) {
    m_documents.writeExcel(fileName, [this, fileName](const FileWriteResult& result) {
        done(result, fileName, true);
    });
}

void OfficeExportCommand::done(const FileWriteResult& result, const QString& fileName, bool open) {
    if (result && open && m_opener)
        m_opener(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
    else if (!result && m_teller)
        m_teller(result.message, result.reason);
}

OfficeExportCommand::Teller OfficeExportCommand::messageBoxOn(QWidget& window,
                                                              const QString& title) {
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

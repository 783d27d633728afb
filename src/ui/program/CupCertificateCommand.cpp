#include "ui/program/CupCertificateCommand.h"

#include "cup/CupCertificates.h"
#include "session/ProgramEnvironment.h"
#include "ui/startlist/CertificateCommand.h"
#include "ui/startlist/CertificateDialog.h"

#include <QDate>

CupCertificateCommand::CupCertificateCommand(const ProgramEnvironment& environment,
                                             std::shared_ptr<FileDialogs> fileDialogs,
                                             QWidget* window)
    : m_environment(environment), m_fileDialogs(std::move(fileDialogs)), m_window(window) {}

void CupCertificateCommand::show(const CupStandings& standings, const QString& cupName,
                                 CupRules::Scoring scoring, PrinterSetup* printers) {
    *m_source = Source{standings, cupName, scoring};
    if (m_dialog) {
        m_dialog->refresh();
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    CertificateDialog::Setup setup;
    setup.title = cupName;
    setup.date = QDate::currentDate();
    setup.templateFolders = CertificateCommand::templateFolders(m_environment);
    setup.printers = printers;
    setup.fileDialogs = m_fileDialogs;
    setup.messageTitle = m_environment.programTitle();
    const std::shared_ptr<const Source> source = m_source;
    auto* dialog = new CertificateDialog(
        [source](const CertificateChoice& choice) {
            QList<CertificateFields::Values> all = CupCertificates::collect(
                source->standings, source->cupName, source->scoring, choice.places, choice.date);
            // {Titel} reads what the operator typed; {Cup} stays the cup's name.
            for (CertificateFields::Values& values : all)
                values.insert(QStringLiteral("Titel"), choice.title);
            return all;
        },
        std::move(setup), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    dialog->show();
}

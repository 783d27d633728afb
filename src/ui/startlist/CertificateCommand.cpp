#include "ui/startlist/CertificateCommand.h"

#include "competition/StageDerivation.h"
#include "print/CertificateTemplateFinder.h"
#include "session/ProgramEnvironment.h"
#include "ui/startlist/CertificateDialog.h"

#include <QDate>

CertificateCommand::CertificateCommand(const Competition& competition, StageDerivation& derivation,
                                       const ProgramEnvironment& environment,
                                       std::shared_ptr<FileDialogs> fileDialogs, QWidget* window)
    : m_competition(competition), m_derivation(derivation), m_environment(environment),
      m_fileDialogs(std::move(fileDialogs)), m_window(window) {}

QStringList CertificateCommand::templateFolders(const ProgramEnvironment& environment) {
    return CertificateTemplateFinder::folders(environment.backupFileName(),
                                              environment.userDataDir(),
                                              environment.executableDir(), environment.dataDir());
}

CertificateDialog* CertificateCommand::dialog() const {
    return m_dialog;
}

void CertificateCommand::show(const QString& title, PrinterSetup* printers) {
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    // The results pages are derived when they are shown; certificates may be wanted before.
    m_derivation.deriveAll();
    CertificateDialog::Setup setup;
    setup.title = title;
    setup.date = QDate::currentDate();
    setup.templateFolders = templateFolders(m_environment);
    setup.printers = printers;
    setup.fileDialogs = m_fileDialogs;
    setup.messageTitle = m_environment.programTitle();
    auto* dialog = new CertificateDialog(m_competition, std::move(setup), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    dialog->show();
}

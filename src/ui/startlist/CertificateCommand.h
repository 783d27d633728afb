#pragma once

#include <QPointer>
#include <QString>
#include <memory>

class CertificateDialog;
class Competition;
class FileDialogs;
class PrinterSetup;
class ProgramEnvironment;
class QWidget;
class StageDerivation;

// "Urkunden...": derives the stages, so the results the certificates are made from are
// current, and shows the certificate dialog beside the window; a second call brings the open
// one to the front.
class CertificateCommand {
public:
    CertificateCommand(const Competition& competition, StageDerivation& derivation,
                       const ProgramEnvironment& environment,
                       std::shared_ptr<FileDialogs> fileDialogs, QWidget* window);

    // title: proposed for {Titel}; printers: where the protocol is printed, null without one.
    void show(const QString& title, PrinterSetup* printers);
    // The open dialog, if any.
    CertificateDialog* dialog() const;

    // The folders searched for designs: the operator's beside the backup and in the user's
    // data folder, the shipped ones beside the executable and in the installed data folder.
    static QStringList templateFolders(const ProgramEnvironment& environment);

private:
    const Competition& m_competition;
    StageDerivation& m_derivation;
    const ProgramEnvironment& m_environment;
    std::shared_ptr<FileDialogs> m_fileDialogs;
    QWidget* m_window;
    QPointer<CertificateDialog> m_dialog;
};

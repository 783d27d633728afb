#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"
#include "ui/startlist/CertificateDialog.h"

#include <QPointer>
#include <QString>
#include <memory>

class FileDialogs;
class PrinterSetup;
class ProgramEnvironment;
class QWidget;

// Certificates for a cup's podium: the program's certificate dialog (template, title, date,
// preview, PDF or printer, made on a thread of its own) with the best of each class as its
// recipients, their {Cup} and {Punkte} filled from the standings. A second call brings the open
// dialog to the front with the standings given then.
class CupCertificateCommand {
public:
    CupCertificateCommand(const ProgramEnvironment& environment,
                          std::shared_ptr<FileDialogs> fileDialogs, QWidget* window);

    // printers: where the protocol is printed, null without one.
    void show(const CupStandings& standings, const QString& cupName, CupRules::Scoring scoring,
              PrinterSetup* printers);
    CertificateDialog* dialog() const { return m_dialog; }

private:
    struct Source {
        CupStandings standings;
        QString cupName;
        CupRules::Scoring scoring = CupRules::Scoring::PointsTable;
    };

    const ProgramEnvironment& m_environment;
    std::shared_ptr<FileDialogs> m_fileDialogs;
    QWidget* m_window;
    std::shared_ptr<Source> m_source = std::make_shared<Source>();
    QPointer<CertificateDialog> m_dialog;
};

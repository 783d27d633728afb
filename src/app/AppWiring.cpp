#include "app/AppWiring.h"

#include "platform/BackupInstanceLock.h"
#include "platform/TerminationSignals.h"
#include "print/TFormPP.h"
#include "session/RaceSession.h"
#include "ui/BackupClaim.h"
#include "ui/SettingsCommand.h"
#include "ui/TFDlgYesNo.h"
#include "ui/TFormInfo.h"
#include "ui/TFormMain.h"
#include "ui/WindowSeams.h"

#include <QApplication>

int AppWiring::runWindows(RaceSession& session, BackupInstanceLock& backup) {
    const WindowSeams seams = WindowSeams::forDesktop();
    TFormMain window(session, seams);
    BackupClaim::bringToFrontOnCall(backup, window);
    TFormPP preview(seams.fileDialogs, &window);
    window.setPrintPreview(&preview);
    window.settingsCommand().createDialog();
    TFDlgYesNo question(session.programTitle(), &window);
    window.setQuestionDialog(&question);
    TFormInfo info(&window);
    window.setInfoWindow(&info);
    window.createTvWindows();
    window.show();
    // A logout or kill ends the loop without the close question; the session's shutdown then
    // writes the backup and the settings as on a regular exit.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                     [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}

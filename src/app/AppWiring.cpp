#include "app/AppWiring.h"

#include "platform/BackupInstanceLock.h"
#include "platform/TerminationSignals.h"
#include "print/PrintPreviewWindow.h"
#include "session/RaceSession.h"
#include "ui/program/InfoDialog.h"
#include "ui/program/SettingsCommand.h"
#include "ui/window/BackupClaim.h"
#include "ui/window/MainWindow.h"
#include "ui/window/QuestionDialog.h"
#include "ui/window/WindowSeams.h"

#include <QApplication>

int AppWiring::runWindows(RaceSession& session, BackupInstanceLock& backup) {
    const WindowSeams seams = WindowSeams::forDesktop();
    MainWindow window(session, seams);
    BackupClaim::bringToFrontOnCall(backup, window);
    PrintPreviewWindow preview(seams.fileDialogs, &window);
    window.setPrintPreview(&preview);
    window.settingsCommand().createDialog();
    QuestionDialog question(session.programTitle(), &window);
    window.setQuestionDialog(&question);
    InfoDialog info(&window);
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

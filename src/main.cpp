#include "platform/BackupInstanceLock.h"
#include "platform/CNumberLocale.h"
#include "platform/OpenFileLimit.h"
#include "platform/TerminationSignals.h"
#include "print/TFormPP.h"
#include "tv/widgets/TvWindows.h"
#include "ui/BackupClaim.h"
#include "ui/ProgramEnvironment.h"
#include "ui/QtGermanTranslation.h"
#include "ui/SettingsCommand.h"
#include "ui/TFDlgYesNo.h"
#include "ui/TFormInfo.h"
#include "ui/TFormMain.h"

#include <QApplication>
#include <QIcon>

namespace {

// Windows that come with their subsystems. They are created in this order after the main
// window, so that the main window's start-up never finds one half built.
void createSettingsDialog(TFormMain& window) {
    window.settingsCommand().createDialog();
}
void createTvWindows(TFormMain& window) {
    window.setTvWindows(new TvWindows(window));
}

} // namespace

int main(int argc, char* argv[]) {
    // Before anything opens files: a desktop session's soft limit of 1,024 would otherwise be
    // shared by the live results' connections and the program's own files.
    OpenFileLimit::raiseToHard();
    QApplication app(argc, argv);
    CNumberLocale::keepProcessNumbersInC();
    // The desktop matches the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velmora")));
    const QtGermanTranslation qtTexts;
    const ProgramEnvironment environment = ProgramEnvironment::fromApplication();
    BackupInstanceLock backup(environment.backupFileName());
    if (!BackupClaim::claim(backup, BackupClaim::messageBox(environment.programTitle(),
                                                            environment.backupFileName())))
        return 0;
    TFormMain window(environment);
    BackupClaim::bringToFrontOnCall(backup, window);
    TFormPP preview(window.environment().fileDialogs(), &window);
    window.setPrintPreview(&preview);
    createSettingsDialog(window);
    TFDlgYesNo question(window.ProgramTitle(), &window);
    window.setQuestionDialog(&question);
    TFormInfo info(&window);
    window.setInfoWindow(&info);
    createTvWindows(window);
    window.show();
    // A logout or kill ends the loop without the close question; the window's shutdown then
    // writes the backup and the settings as on a regular exit.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     [] { QCoreApplication::exit(0); });
    return app.exec();
}

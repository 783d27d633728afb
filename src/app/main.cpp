#include "app/AppWiring.h"
#include "platform/BackupInstanceLock.h"
#include "platform/CNumberLocale.h"
#include "platform/OpenFileLimit.h"
#include "session/ProgramEnvironment.h"
#include "session/RaceSession.h"
#include "ui/window/BackupClaim.h"
#include "ui/window/QtGermanTranslation.h"

#include <QApplication>
#include <QIcon>

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
    RaceSession session(environment);
    session.start();
    const int exitCode = AppWiring::runWindows(session, backup);
    // The backup before the settings before the port, once the window has handed back its
    // placement and title.
    session.shutdown();
    return exitCode;
}

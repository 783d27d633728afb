#include "ui/ProgramEnvironment.h"
#include "ui/TFDlgYesNo.h"
#include "ui/TFormInfo.h"
#include "ui/TFormMain.h"

#include <QApplication>

namespace {

// Windows that come with their subsystems. They are created in this order after the main
// window, so that the main window's start-up never finds one half built.
void createPrintPreview(TFormMain&) {}
void createSettingsDialog(TFormMain&) {}
void createTvWindows(TFormMain&) {}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TFormMain window(ProgramEnvironment::fromApplication());
    createPrintPreview(window);
    createSettingsDialog(window);
    TFDlgYesNo question(window.ProgramTitle(), &window);
    window.setQuestionDialog(&question);
    TFormInfo info(&window);
    window.setInfoWindow(&info);
    createTvWindows(window);
    window.show();
    return app.exec();
}

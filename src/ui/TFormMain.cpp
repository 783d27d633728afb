#include "ui/TFormMain.h"

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Velmora 1.7"));
    resize(720, 480);
}

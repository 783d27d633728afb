#pragma once

#include <QString>

// The settings kept between runs, with their designed defaults. The window placement defaults
// depend on the screen and are filled in by the window before loading.
struct Settings {
    int left = 0;
    int top = 0;
    int width = 720;
    int height = 0;
    bool sound = true;
    int port = 0;
    int alg = 0;
    int waitStart = 5000;
    int timer = 10000;
    int monitor = 0;
    int lockTime = 5000;
    QString title = QStringLiteral("Deutsche Meisterschaften im Velmora 2009");
    bool autoReset = true;
    int filterInd = 1;
    int vidResult = 0;
    int len = 50;
    QString logo;

    bool operator==(const Settings&) const = default;
};

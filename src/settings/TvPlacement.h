#pragma once

#include <QObject>

// Where the settings reach the TV windows: the windows' owner connects these to its own
// placing and logo loading, and nothing happens while no TV windows exist.
class TvPlacement : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    // Every TV window goes onto the screen of the "Monitor" setting and shows again when its
    // mode is the checked one.
    void placeTvWindows();
    // The "Zeit" window loads the picture of the "Logo" setting.
    void reloadLogo();
};

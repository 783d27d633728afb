#pragma once

#include "settings/SettingsLoad.h"

#include <QString>
#include <optional>

class Competition;
class ProgramEnvironment;
class QLineEdit;
class QWidget;
struct Settings;

// Carries the settings between the per-user store and the window: read once at start-up into
// the window's settings and applied to the window, collected from the window and written once
// at shutdown. Everything else the settings hold is read and changed by its own part.
class SettingsBinding {
public:
    SettingsBinding(const ProgramEnvironment& environment, Settings& settings);

    // The window's placement as the defaults, then the stored values over them; applies the
    // window bounds, the event title (only a non-empty one) and the time format. A placement
    // off every present screen becomes the default one. A TV screen that is not there (the
    // projector still off) is kept, for the TV windows to go to when it comes. Returns where
    // reading stopped, for the notice and for the save.
    SettingsLoad load(QWidget& window, QLineEdit& title, Competition& competition);

    // Takes the window bounds and the event title into the settings and writes them; values
    // the load did not read are kept as stored unless they were changed.
    bool save(const QWidget& window, const QLineEdit& title, const SettingsLoad& loaded);

    // The status bar's notice of a damaged value; empty when reading did not stop at one.
    static QString damagedNotice(const SettingsLoad& loaded);

private:
    void keepOnPresentScreens();

    const ProgramEnvironment& m_environment;
    Settings& m_settings;
};

#pragma once

#include "settings/SettingsLoad.h"

#include <QString>

class QLineEdit;
class QWidget;
struct Settings;

// The window's half of the settings: the session reads and writes the store; this places the
// window and fills the event title from what it read, and takes both back before the write.
class SettingsBinding {
public:
    // The window's placement stands in for what the store did not hold; applies the window
    // bounds and the event title (only a non-empty one). A placement off every present screen
    // becomes the default one. A TV screen that is not there (the projector still off) is kept,
    // for the TV windows to go to when it comes. The placement as applied counts as loaded.
    static void apply(QWidget& window, QLineEdit& title, Settings& settings, SettingsLoad& loaded);

    // Takes the window bounds and the event title into the settings for the write at exit.
    static void collect(const QWidget& window, const QLineEdit& title, Settings& settings);

    // The status bar's notice of a damaged value; empty when reading did not stop at one.
    static QString damagedNotice(const SettingsLoad& loaded);

private:
    static void keepOnPresentScreens(Settings& settings);
};

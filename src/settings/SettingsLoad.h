#pragma once

#include "settings/Settings.h"

#include <QString>
#include <optional>

// What loading the settings found, kept for the save at exit: where reading stopped, the text
// of a damaged value there, and the settings as the load left them. A value the load did not
// read is written back only when it was changed since, so a damaged store does not lose the
// values behind the damage.
struct SettingsLoad {
    std::optional<QString> stoppedAt;   // the value's name; nullopt when all were read
    std::optional<QString> damagedText; // its stored text when it was there but unreadable
    Settings asLoaded;
};

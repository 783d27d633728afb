#pragma once

#include "competition/AudienceText.h"

#include <QString>
#include <functional>

class Competition;
class RunClock;
class TimeDisplay;

// What the audience windows show and the stored values they keep: the tables and their time
// format, the time display's digits, the clock's countdown and intermediate time, the texts
// besides, and the "Monitor" and "Logo" settings.
struct TvInputs {
    const Competition& competition;
    const TimeDisplay& display;
    const RunClock& clock;
    std::function<AudienceText()> text;
    int& monitor;
    QString& logo;
};

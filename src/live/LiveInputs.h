#pragma once

#include "competition/AudienceText.h"

#include <QString>
#include <functional>
#include <memory>

class Competition;
class RunClock;
class TickSource;

// What the live results publish and the stored values they keep: the tables, the clock and its
// time source, the texts besides the tables, and the settings "LiveResults", "LivePort",
// "LiveAddress" and "LiveAddressOnly".
struct LiveInputs {
    const Competition& competition;
    const RunClock& clock;
    std::shared_ptr<const TickSource> ticks;
    std::function<AudienceText()> text;
    bool& on;
    int& port;
    QString& address;
    bool& addressOnly;
};

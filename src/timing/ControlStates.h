#pragma once

#include <QMetaType>
#include <QtGlobal>
#include <optional>

// The six timing buttons; their menu commands follow them.
enum class TimingButton { Timer, Start, Lap, Stop, Enter, Reset };

// What the timing controls look like in the current clock state: per button whether it is
// enabled and its face colour, the visibility of the two optional buttons, the settings
// command and whether the 10 ms clock runs. A window applies it to its widgets as a whole.
struct ControlStates {
    // Face colours as 0xRRGGBB.
    static constexpr quint32 green = 0x008000;
    static constexpr quint32 yellow = 0xFFFF00;
    static constexpr quint32 red = 0xFF0000;
    static constexpr quint32 black = 0x000000;
    static constexpr quint32 skyBlue = 0xA6CAF0;
    static constexpr quint32 orange = 0xF3A705;

    struct Button {
        bool enabled = false;
        std::optional<quint32> colour; // empty: the system's button-face colour

        bool operator==(const Button&) const = default;
    };

    Button timer;
    Button start{true, green};
    Button lap;
    Button stop;
    Button enter;
    Button reset;
    bool timerVisible = true;
    bool lapVisible = true;
    bool settingsEnabled = true;
    bool clockRunning = false;

    const Button& button(TimingButton which) const;
    Button& button(TimingButton which);

    bool operator==(const ControlStates&) const = default;
};

Q_DECLARE_METATYPE(ControlStates)
Q_DECLARE_METATYPE(TimingButton)

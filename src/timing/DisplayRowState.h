#pragma once

#include <QMetaType>
#include <QtGlobal>
#include <array>

// What one row of the seven-segment display shows: per digit the value as assigned (a value
// outside 0 to 9 shows 0 and counts as an overflow on the digit) and its lit colour, and the
// colour of the row's comma. The upper row's captions "Sek." and "1/100" share its comma's
// colour. Colours are 0xRRGGBB.
struct DisplayRowState {
    struct Digit {
        int value = 0;
        quint32 colour = 0;
        bool operator==(const Digit&) const = default;
    };

    std::array<Digit, 5> digits{}; // hundreds, tens, units of seconds, tenths, hundredths
    quint32 commaColour = 0;

    bool operator==(const DisplayRowState&) const = default;
};

Q_DECLARE_METATYPE(DisplayRowState)

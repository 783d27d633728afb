#pragma once

#include "timing/DisplayRow.h"
#include "timing/DisplayRowState.h"

#include <QObject>
#include <array>

class RunClock;

// Puts times and the clock's state colour on the two rows of the seven-segment display. It
// keeps what each row shows and reports every update, so the window's panel and the "Zeit" TV
// window draw the same digits; the digits themselves skip unchanged values. It follows the
// run clock's display changes by itself.
class TimeDisplay : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 dim = 0x404040;
    static constexpr quint32 lowerLit = 0x00B0FF;
    static constexpr quint32 countdownColour = 0xF3A705;
    static constexpr quint32 lapColour = 0xFFFF00;
    static constexpr quint32 runColour = 0x00FF00;

    explicit TimeDisplay(const RunClock& clock, QObject* parent = nullptr);

    const DisplayRowState& row(DisplayRow which) const;
    quint32 stateColour() const { return m_stateColour; }

    // Hundreds, tens and units of seconds, tenths and hundredths of a time in ms; each
    // quotient truncates toward zero, so negative times give negative digits.
    static std::array<int, 5> digitValues(qint32 milliseconds);

public Q_SLOTS:
    void showTime(DisplayRow row, qint32 milliseconds);
    void recolourDisplay();

Q_SIGNALS:
    void rowChanged(DisplayRow row, const DisplayRowState& state);
    // The upper row showed a running or final time (not a countdown), in hundredths: the
    // "Video" TV window's current time.
    void currentTimeShown(qint32 hundredths);

private:
    const RunClock& m_clock;
    DisplayRowState m_upper;
    DisplayRowState m_lower;
    quint32 m_stateColour = runColour;
};

#include "timing/TimeDisplay.h"

#include "timing/RunClock.h"

#include <algorithm>
#include <limits>

TimeDisplay::TimeDisplay(const RunClock& clock, QObject* parent) : QObject(parent), m_clock(clock) {
    for (int i = 0; i < 5; ++i) {
        m_upper.digits[i].colour = i < 2 ? dim : runColour;
        m_lower.digits[i].colour = dim;
    }
    m_upper.commaColour = runColour;
    m_lower.commaColour = dim;
    connect(&clock, &RunClock::displayedTimeChanged, this, &TimeDisplay::showTime);
    connect(&clock, &RunClock::displayModeChanged, this, &TimeDisplay::recolourDisplay);
}

const DisplayRowState& TimeDisplay::row(DisplayRow which) const {
    return which == DisplayRow::Upper ? m_upper : m_lower;
}

std::array<int, 5> TimeDisplay::digitValues(qint32 milliseconds) {
    const qint32 c = milliseconds / 10;
    const qint32 h = c % 100;
    const qint32 s = c / 100;
    return {s / 100, (s / 10) % 10, s % 10, h / 10, h % 10};
}

void TimeDisplay::showTime(DisplayRow row, qint32 milliseconds) {
    qint64 t = milliseconds == RunClock::noBestTime ? 0 : milliseconds;
    if (row == DisplayRow::Upper) {
        // The countdown is shown as what is left of it; the run clock starts the run itself
        // when that falls below 1 ms.
        if (m_clock.countdownActive())
            t = static_cast<qint64>(m_clock.timerMs()) - t;
        else
            Q_EMIT currentTimeShown(static_cast<qint32>(t / 10));
    }
    const qint32 time = static_cast<qint32>(std::clamp<qint64>(
        t, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
    const auto values = digitValues(time);
    const qint32 c = time / 10;
    const qint32 h = c % 100;
    const qint32 s = c / 100;

    DisplayRowState& state = row == DisplayRow::Upper ? m_upper : m_lower;
    for (int i = 0; i < 5; ++i)
        state.digits[i].value = values[i];
    if (row == DisplayRow::Upper) {
        state.digits[0].colour = s < 100 ? dim : m_stateColour;
        state.digits[1].colour = s < 10 ? dim : m_stateColour;
    } else {
        state.digits[0].colour = s < 100 ? dim : lowerLit;
        state.digits[1].colour = s < 10 ? dim : lowerLit;
        const quint32 units = s + h <= 0 ? dim : lowerLit;
        for (int i = 2; i < 5; ++i)
            state.digits[i].colour = units;
        state.commaColour = units;
    }
    Q_EMIT rowChanged(row, state);
}

void TimeDisplay::recolourDisplay() {
    if (m_clock.countdownActive())
        m_stateColour = countdownColour;
    else if (m_clock.lapTaken())
        m_stateColour = lapColour;
    else
        m_stateColour = runColour;
    for (auto& digit : m_upper.digits)
        digit.colour = m_stateColour;
    m_upper.commaColour = m_stateColour;
    Q_EMIT rowChanged(DisplayRow::Upper, m_upper);
}

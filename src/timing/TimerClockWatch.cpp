#include "timing/TimerClockWatch.h"

TimerClockWatch::Reading TimerClockWatch::take(qint64 timerMicroseconds, qint64 arrival,
                                               bool fixed) {
    if (!m_offset) {
        m_offset = arrival - timerMicroseconds;
        m_first = m_offset;
        m_lastLive = m_offset;
    }
    Reading reading;
    reading.programStamp = timerMicroseconds + *m_offset;
    reading.lateness = arrival - reading.programStamp;
    reading.fromMemory = reading.lateness > MemoryAgeMicroseconds;
    if (reading.fromMemory)
        return reading;
    m_lastLive = arrival - timerMicroseconds;
    // Between runs the offset follows the clocks, a line that shows the timer ahead of what
    // was thought included (the first line came late, or its clock runs fast). Earlier mapped
    // stamps keep their place.
    if (!fixed) {
        m_offset = m_lastLive;
        reading.programStamp = timerMicroseconds + *m_offset;
        reading.lateness = 0;
    }
    return reading;
}

void TimerClockWatch::reset() {
    m_offset.reset();
    m_first.reset();
    m_lastLive.reset();
}

std::optional<qint64> TimerClockWatch::drift() const {
    if (!m_lastLive || !m_first)
        return std::nullopt;
    return *m_lastLive - *m_first;
}

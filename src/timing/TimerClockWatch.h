#pragma once

#include <QtGlobal>
#include <optional>

// The timer's clock against the program's. The offset between them is taken from the first
// line after connecting and followed while no run is under way; during a run it stays fixed,
// so a run's time is the difference of the timer's own stamps, whatever the two clocks do.
// A line whose stamp lies well before its arrival came out of the timer's memory.
class TimerClockWatch {
public:
    struct Reading {
        qint64 programStamp = 0; // the timer's stamp on the program's clock (microseconds)
        qint64 lateness = 0;     // arrival minus that stamp
        bool fromMemory = false;
    };

    // Later than this, an impulse is an old one the timer sends again or read out.
    static constexpr qint64 MemoryAgeMicroseconds = 2'000'000;

    // timerMicroseconds: the impulse's continuous stamp; arrival: the program clock when its
    // line came in. While `fixed`, the offset is not followed.
    Reading take(qint64 timerMicroseconds, qint64 arrival, bool fixed);
    // Forgets the offset: another timer or profile.
    void reset();

    bool hasOffset() const { return m_offset.has_value(); }
    // How far the offset moved since it was first taken; empty before the first line.
    std::optional<qint64> drift() const;

private:
    std::optional<qint64> m_offset; // program clock minus timer clock
    std::optional<qint64> m_first;
    std::optional<qint64> m_lastLive; // the offset the newest live line showed
};

#pragma once

#include "mock/FakeTickSource.h"
#include "timing/RunClock.h"

#include <QSignalSpy>
#include <memory>

// A run clock on a hand-moved clock, started up with the given settings.
class RunClockFixture {
public:
    static TimingSettings settingsWith(qint32 timerMs, qint32 lengthMetres, bool autoReset = false);
    // The time of the latest displayedTimeChanged on that row, -1 when there was none.
    static qint32 lastShown(const QSignalSpy& spy, DisplayRow row);

    RunClock& make(const TimingSettings& settings, qint64 startUs = 1'000'000);
    FakeTickSource& ticks() { return *m_ticks; }

private:
    std::unique_ptr<FakeTickSource> m_ticks;
    std::unique_ptr<RunClock> m_clock;
};

#include "mock/RunClockFixture.h"

TimingSettings RunClockFixture::settingsWith(qint32 timerMs, qint32 lengthMetres, bool autoReset) {
    TimingSettings settings;
    settings.timerMs = timerMs;
    settings.lengthMetres = lengthMetres;
    settings.autoReset = autoReset;
    return settings;
}

qint32 RunClockFixture::lastShown(const QSignalSpy& spy, DisplayRow row) {
    for (auto i = spy.size() - 1; i >= 0; --i) {
        if (spy.at(i).at(0).value<DisplayRow>() == row)
            return spy.at(i).at(1).toInt();
    }
    return -1;
}

RunClock& RunClockFixture::make(const TimingSettings& settings, qint64 startUs) {
    m_clock.reset();
    m_ticks = std::make_unique<FakeTickSource>(startUs);
    m_clock = std::make_unique<RunClock>(*m_ticks);
    m_clock->startUp(settings);
    return *m_clock;
}

// Runs the run clock with the time panel for a while and reports how late each shown hundredth
// was drawn, how often each digit repainted against how often it changed, and the CPU used.
// Usage: clock_display [seconds]   (offscreen unless QT_QPA_PLATFORM says otherwise)

#include "timing/MonotonicTickSource.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"
#include "timing/widgets/SegmentDigit.h"
#include "timing/widgets/TimePanel.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Watches the paint events of the ten digits; for the hundredths digit it records how long
// after the shown hundredth became due the paint happened.
class PaintProbe : public QObject {
public:
    PaintProbe(const TickSource& ticks, const RunClock& clock, QObject* hundredths)
        : m_ticks(ticks), m_clock(clock), m_hundredths(hundredths) {}

    bool measuring = false;
    qint32 shownMs = 0;
    std::vector<double> lagsMs;
    std::array<int, 10> paints{};
    std::vector<QObject*> digits;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (measuring && event->type() == QEvent::Paint) {
            const auto it = std::find(digits.begin(), digits.end(), watched);
            if (it != digits.end())
                ++paints[static_cast<std::size_t>(it - digits.begin())];
            if (watched == m_hundredths) {
                const qint64 due = m_clock.startStamp() + qint64(shownMs / 10) * 10000;
                lagsMs.push_back(static_cast<double>(m_ticks.nowMicroseconds() - due) / 1000.0);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const TickSource& m_ticks;
    const RunClock& m_clock;
    QObject* m_hundredths;
};

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[index];
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    MonotonicTickSource ticks;
    RunClock clock(ticks);
    TimeDisplay display(clock);
    TimePanel panel;
    QObject::connect(&display, &TimeDisplay::rowChanged, &panel, &TimePanel::applyRow);

    PaintProbe probe(ticks, clock, panel.digit(DisplayRow::Upper, 4));
    std::array<int, 10> changes{};
    std::array<DisplayRowState, 2> previous{display.row(DisplayRow::Upper),
                                            display.row(DisplayRow::Lower)};
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 5; ++i) {
            QObject* digit = panel.digit(row == 0 ? DisplayRow::Upper : DisplayRow::Lower, i);
            probe.digits.push_back(digit);
            digit->installEventFilter(&probe);
        }
    }
    QObject::connect(&clock, &RunClock::displayedTimeChanged, [&](DisplayRow row, qint32 ms) {
        if (row == DisplayRow::Upper)
            probe.shownMs = ms;
    });
    QObject::connect(
        &display, &TimeDisplay::rowChanged, [&](DisplayRow row, const DisplayRowState& state) {
            const int r = row == DisplayRow::Upper ? 0 : 1;
            for (int i = 0; i < 5; ++i) {
                const auto& before = previous[static_cast<std::size_t>(r)].digits[i];
                const auto& now = state.digits[i];
                // A digit shows 0 for values outside 0 to 9.
                auto shown = [](int v) {
                    return v < 0 || v > 9 ? 0 : v;
                };
                if (shown(before.value) != shown(now.value) || before.colour != now.colour)
                    ++changes[static_cast<std::size_t>(r * 5 + i)];
            }
            previous[static_cast<std::size_t>(r)] = state;
        });

    TimingSettings settings;
    settings.timerMs = 0;
    settings.autoReset = false;
    clock.startUp(settings);
    panel.show();

    double cpuAtStart = 0.0;
    qint64 wallAtStart = 0;
    QTimer::singleShot(300, [&] {
        probe.measuring = true;
        changes.fill(0);
        cpuAtStart = cpuSeconds();
        wallAtStart = ticks.nowMicroseconds();
        clock.start();
    });
    QTimer::singleShot(300 + seconds * 1000, [&] {
        clock.stop();
        probe.measuring = false;
        app.quit();
    });
    app.exec();

    const double wall = static_cast<double>(ticks.nowMicroseconds() - wallAtStart) / 1e6;
    const double cpu = cpuSeconds() - cpuAtStart;
    int totalPaints = 0;
    for (int p : probe.paints)
        totalPaints += p;

    std::printf("run time            %.2f s (clock shows %d ms)\n", wall, clock.runTime());
    std::printf("hundredths drawn    %zu (%.1f per second)\n", probe.lagsMs.size(),
                static_cast<double>(probe.lagsMs.size()) / wall);
    std::printf("lag due -> drawn    p50 %.2f ms, p99 %.2f ms, max %.2f ms (goal p99 <= 17)\n",
                percentile(probe.lagsMs, 0.50), percentile(probe.lagsMs, 0.99),
                percentile(probe.lagsMs, 1.0));
    std::printf("digit repaints      %.1f per second\n", totalPaints / wall);
    std::printf("per digit           repaints / changes\n");
    const char* names[10] = {"Digit4",  "Digit5",  "Digit6",  "Digit7",  "Digit8",
                             "Digit16", "Digit18", "Digit19", "Digit21", "Digit22"};
    bool onlyChanged = true;
    for (std::size_t i = 0; i < 10; ++i) {
        std::printf("  %-8s          %6d / %6d\n", names[i], probe.paints[i], changes[i]);
        if (probe.paints[i] > changes[i])
            onlyChanged = false;
    }
    std::printf("repaints only of changed digits: %s\n", onlyChanged ? "yes" : "no");
    std::printf("CPU time            %.3f s (%.1f %% of one core)\n", cpu, 100.0 * cpu / wall);
    return 0;
}

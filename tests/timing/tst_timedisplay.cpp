#include "mock/FakeTickSource.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using Values = QList<int>;
using Colours = QList<quint32>;

namespace {

constexpr quint32 dim = 0x404040;
constexpr quint32 blue = 0x00B0FF;
constexpr quint32 lime = 0x00FF00;
constexpr quint32 yellow = 0xFFFF00;
constexpr quint32 orange = 0xF3A705;

Values valuesOf(const DisplayRowState& state) {
    Values values;
    for (const auto& digit : state.digits)
        values.append(digit.value);
    return values;
}

Colours coloursOf(const DisplayRowState& state) {
    Colours colours;
    for (const auto& digit : state.digits)
        colours.append(digit.colour);
    return colours;
}

} // namespace

// Times and state colours on the two digit rows.
class TestTimeDisplay : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeTickSource> m_ticks;
    std::unique_ptr<RunClock> m_clock;
    std::unique_ptr<TimeDisplay> m_display;

    TimeDisplay& makeDisplay(qint32 timerMs) {
        m_display.reset();
        m_clock.reset();
        m_ticks = std::make_unique<FakeTickSource>(50'000'000);
        m_clock = std::make_unique<RunClock>(*m_ticks);
        m_display = std::make_unique<TimeDisplay>(*m_clock);
        TimingSettings settings;
        settings.timerMs = timerMs;
        settings.autoReset = false;
        m_clock->startUp(settings);
        return *m_display;
    }

private Q_SLOTS:
    void digitValues_data();
    void digitValues();
    void designedState();
    void upperRow_data();
    void upperRow();
    void lowerRow_data();
    void lowerRow();
    void countdownShowsWhatIsLeft();
    void videoTimeOnlyOutsideCountdown();
    void recolourFollowsClockState();
    void runClockDrivesTheDisplay();
};

void TestTimeDisplay::digitValues_data() {
    QTest::addColumn<qint32>("ms");
    QTest::addColumn<Values>("values");
    QTest::newRow("83,456") << 83456 << Values{0, 8, 3, 4, 5};
    QTest::newRow("5") << 5 << Values{0, 0, 0, 0, 0};
    QTest::newRow("10") << 10 << Values{0, 0, 0, 0, 1};
    QTest::newRow("-25") << -25 << Values{0, 0, 0, 0, -2};
    QTest::newRow("999.99 s") << 999999 << Values{9, 9, 9, 9, 9};
    QTest::newRow("1000 s") << 1000000 << Values{10, 0, 0, 0, 0};
    QTest::newRow("1234.56 s") << 1234567 << Values{12, 3, 4, 5, 6};
}

void TestTimeDisplay::digitValues() {
    QFETCH(qint32, ms);
    QFETCH(Values, values);
    const auto digits = TimeDisplay::digitValues(ms);
    QCOMPARE(Values(digits.begin(), digits.end()), values);
}

void TestTimeDisplay::designedState() {
    FakeTickSource ticks;
    RunClock clock(ticks);
    TimeDisplay display(clock);
    QCOMPARE(coloursOf(display.row(DisplayRow::Upper)), (Colours{dim, dim, lime, lime, lime}));
    QCOMPARE(display.row(DisplayRow::Upper).commaColour, lime);
    QCOMPARE(coloursOf(display.row(DisplayRow::Lower)), (Colours{dim, dim, dim, dim, dim}));
    QCOMPARE(display.row(DisplayRow::Lower).commaColour, dim);
    QCOMPARE(display.stateColour(), lime);
}

void TestTimeDisplay::upperRow_data() {
    QTest::addColumn<qint32>("ms");
    QTest::addColumn<Values>("values");
    QTest::addColumn<Colours>("colours");
    QTest::newRow("83,456") << 83456 << Values{0, 8, 3, 4, 5}
                            << Colours{dim, lime, lime, lime, lime};
    QTest::newRow("5") << 5 << Values{0, 0, 0, 0, 0} << Colours{dim, dim, lime, lime, lime};
    QTest::newRow("no time") << 2147483647 << Values{0, 0, 0, 0, 0}
                             << Colours{dim, dim, lime, lime, lime};
    QTest::newRow("overshoot") << -25 << Values{0, 0, 0, 0, -2}
                               << Colours{dim, dim, lime, lime, lime};
    QTest::newRow("123 s") << 123000 << Values{1, 2, 3, 0, 0}
                           << Colours{lime, lime, lime, lime, lime};
    QTest::newRow("1000 s") << 1000000 << Values{10, 0, 0, 0, 0}
                            << Colours{lime, lime, lime, lime, lime};
}

void TestTimeDisplay::upperRow() {
    QFETCH(qint32, ms);
    QFETCH(Values, values);
    QFETCH(Colours, colours);
    TimeDisplay& display = makeDisplay(0);
    QSignalSpy changed(&display, &TimeDisplay::rowChanged);
    display.showTime(DisplayRow::Upper, ms);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).value<DisplayRow>(), DisplayRow::Upper);
    const auto state = changed.at(0).at(1).value<DisplayRowState>();
    QCOMPARE(state, display.row(DisplayRow::Upper));
    QCOMPARE(valuesOf(state), values);
    QCOMPARE(coloursOf(state), colours);
    QCOMPARE(state.commaColour, lime);
}

void TestTimeDisplay::lowerRow_data() {
    QTest::addColumn<qint32>("ms");
    QTest::addColumn<Values>("values");
    QTest::addColumn<Colours>("colours");
    QTest::newRow("0") << 0 << Values{0, 0, 0, 0, 0} << Colours{dim, dim, dim, dim, dim};
    QTest::newRow("10") << 10 << Values{0, 0, 0, 0, 1} << Colours{dim, dim, blue, blue, blue};
    QTest::newRow("9 ms") << 9 << Values{0, 0, 0, 0, 0} << Colours{dim, dim, dim, dim, dim};
    QTest::newRow("12,34") << 12340 << Values{0, 1, 2, 3, 4}
                           << Colours{dim, blue, blue, blue, blue};
    QTest::newRow("100 km/h") << 100000 << Values{1, 0, 0, 0, 0}
                              << Colours{blue, blue, blue, blue, blue};
    QTest::newRow("no best time") << 2147483647 << Values{0, 0, 0, 0, 0}
                                  << Colours{dim, dim, dim, dim, dim};
    QTest::newRow("negative") << -25 << Values{0, 0, 0, 0, -2} << Colours{dim, dim, dim, dim, dim};
}

void TestTimeDisplay::lowerRow() {
    QFETCH(qint32, ms);
    QFETCH(Values, values);
    QFETCH(Colours, colours);
    TimeDisplay& display = makeDisplay(0);
    QSignalSpy video(&display, &TimeDisplay::currentTimeShown);
    display.showTime(DisplayRow::Lower, ms);
    const DisplayRowState& state = display.row(DisplayRow::Lower);
    QCOMPARE(valuesOf(state), values);
    QCOMPARE(coloursOf(state), colours);
    QCOMPARE(state.commaColour, colours[2]);
    QCOMPARE(video.size(), 0);
}

void TestTimeDisplay::countdownShowsWhatIsLeft() {
    TimeDisplay& display = makeDisplay(10000);
    QVERIFY(m_clock->countdownActive());
    QCOMPARE(display.stateColour(), orange);
    display.showTime(DisplayRow::Upper, 0);
    QCOMPARE(valuesOf(display.row(DisplayRow::Upper)), (Values{0, 1, 0, 0, 0}));
    QCOMPARE(coloursOf(display.row(DisplayRow::Upper)),
             (Colours{dim, orange, orange, orange, orange}));
    display.showTime(DisplayRow::Upper, 10025);
    QCOMPARE(valuesOf(display.row(DisplayRow::Upper)), (Values{0, 0, 0, 0, -2}));
    // The lower row is never a countdown.
    display.showTime(DisplayRow::Lower, 2500);
    QCOMPARE(valuesOf(display.row(DisplayRow::Lower)), (Values{0, 0, 2, 5, 0}));
}

void TestTimeDisplay::videoTimeOnlyOutsideCountdown() {
    TimeDisplay& display = makeDisplay(0);
    QSignalSpy video(&display, &TimeDisplay::currentTimeShown);
    display.showTime(DisplayRow::Upper, 83456);
    display.showTime(DisplayRow::Upper, 2147483647);
    QCOMPARE(video.size(), 2);
    QCOMPARE(video.at(0).at(0).toInt(), 8345);
    QCOMPARE(video.at(1).at(0).toInt(), 0);

    TimeDisplay& countdown = makeDisplay(10000);
    QSignalSpy none(&countdown, &TimeDisplay::currentTimeShown);
    countdown.showTime(DisplayRow::Upper, 1230);
    QCOMPARE(none.size(), 0);
}

void TestTimeDisplay::recolourFollowsClockState() {
    TimeDisplay& display = makeDisplay(5000);
    QCOMPARE(display.stateColour(), orange);
    m_clock->start(); // the countdown button is shown, so Start recolours
    QCOMPARE(display.stateColour(), lime);
    QCOMPARE(coloursOf(display.row(DisplayRow::Upper)), (Colours{lime, lime, lime, lime, lime}));
    m_ticks->advanceMilliseconds(1000);
    m_clock->lap();
    QCOMPARE(display.stateColour(), yellow);
    QCOMPARE(display.row(DisplayRow::Upper).commaColour, yellow);
    m_clock->clockTick();
    QCOMPARE(coloursOf(display.row(DisplayRow::Upper)),
             (Colours{dim, dim, yellow, yellow, yellow}));
    m_clock->stop();
    m_clock->reset();
    QCOMPARE(display.stateColour(), orange);
}

void TestTimeDisplay::runClockDrivesTheDisplay() {
    TimeDisplay& display = makeDisplay(0);
    m_clock->start();
    m_ticks->advanceMicroseconds(83'456'999);
    m_clock->clockTick();
    QCOMPARE(valuesOf(display.row(DisplayRow::Upper)), (Values{0, 8, 3, 4, 5}));
    m_clock->lap();
    QCOMPARE(valuesOf(display.row(DisplayRow::Lower)), (Values{0, 8, 3, 4, 5}));
    QCOMPARE(coloursOf(display.row(DisplayRow::Lower)), (Colours{dim, blue, blue, blue, blue}));
    m_ticks->advanceMilliseconds(1800);
    m_clock->stop();
    QCOMPARE(valuesOf(display.row(DisplayRow::Upper)), (Values{0, 8, 5, 2, 5}));
    QCOMPARE(valuesOf(display.row(DisplayRow::Lower)), (Values{1, 0, 0, 0, 0}));
    m_clock->reset();
    QCOMPARE(valuesOf(display.row(DisplayRow::Upper)), (Values{0, 0, 0, 0, 0}));
    QCOMPARE(valuesOf(display.row(DisplayRow::Lower)), (Values{0, 0, 0, 0, 0}));
}

QTEST_GUILESS_MAIN(TestTimeDisplay)
#include "tst_timedisplay.moc"

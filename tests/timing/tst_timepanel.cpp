#include "mock/FakeTickSource.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"
#include "timing/widgets/SegmentDigit.h"
#include "timing/widgets/TimePanel.h"

#include <QLabel>
#include <QMap>
#include <QSignalSpy>
#include <QTest>

namespace {

QColor rgb(quint32 value) {
    return QColor(QRgb(value));
}

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// Counts paint events per watched widget.
class PaintCounter : public QObject {
public:
    QMap<QString, int> counts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++counts[watched->objectName()];
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

// The time panel's layout and its updates from the display logic.
class TestTimePanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void digitLayout_data();
    void digitLayout();
    void labelLayout_data();
    void labelLayout();
    void showsTheDisplayRows();
    void repaintsOnlyChangedDigits();
    void thousandSecondsOverflowTheHundredsDigit();
};

void TestTimePanel::digitLayout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("separation");
    QTest::addColumn<QColor>("colorOn");
    const QColor dim = rgb(0x404040);
    const QColor lime = rgb(0x00FF00);
    QTest::newRow("Digit4") << "Digit4" << QRect(8, 9, 52, 92) << 1 << dim;
    QTest::newRow("Digit5") << "Digit5" << QRect(64, 9, 52, 92) << 1 << dim;
    QTest::newRow("Digit6") << "Digit6" << QRect(120, 9, 52, 92) << 1 << lime;
    QTest::newRow("Digit7") << "Digit7" << QRect(200, 9, 52, 92) << 1 << lime;
    QTest::newRow("Digit8") << "Digit8" << QRect(256, 9, 52, 92) << 1 << lime;
    QTest::newRow("Digit16") << "Digit16" << QRect(8, 128, 52, 65) << 0 << dim;
    QTest::newRow("Digit18") << "Digit18" << QRect(64, 128, 52, 65) << 0 << dim;
    QTest::newRow("Digit19") << "Digit19" << QRect(120, 128, 52, 65) << 0 << dim;
    QTest::newRow("Digit21") << "Digit21" << QRect(200, 128, 52, 65) << 0 << dim;
    QTest::newRow("Digit22") << "Digit22" << QRect(256, 128, 52, 65) << 0 << dim;
}

void TestTimePanel::digitLayout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(int, separation);
    QFETCH(QColor, colorOn);
    TimePanel panel;
    QCOMPARE(panel.size(), QSize(320, 202));
    QCOMPARE(panel.palette().color(QPalette::Window), QColor(0, 0, 0));
    auto* digit = panel.findChild<SegmentDigit*>(name);
    QVERIFY(digit);
    QCOMPARE(digit->geometry(), geometry);
    QCOMPARE(digit->thickness(), 5);
    QCOMPARE(digit->separation(), separation);
    QCOMPARE(digit->colorOn(), colorOn);
    QCOMPARE(digit->colorOff(), QColor(0, 0, 0));
    QCOMPARE(digit->color(), QColor(0, 0, 0));
    QCOMPARE(digit->valueBinary(), 125);
}

void TestTimePanel::labelLayout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<QColor>("colour");
    const QColor lime = rgb(0x00FF00);
    QTest::newRow("LabSec") << "LabSec"
                            << "," << QRect(172, 40, 16, 73) << "Times New Roman" << 64 << lime;
    QTest::newRow("Lab_sek") << "Lab_sek"
                             << "Sek." << QRect(70, 103, 40, 22) << "Arial" << 19 << lime;
    QTest::newRow("Lab_100") << "Lab_100"
                             << "1/100" << QRect(230, 103, 49, 22) << "Arial" << 19 << lime;
    QTest::newRow("LabSec2") << "LabSec2"
                             << "," << QRect(172, 132, 28, 81) << "Times New Roman" << 64
                             << rgb(0x404040);
}

void TestTimePanel::labelLayout() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(QString, family);
    QFETCH(int, pixelSize);
    QFETCH(QColor, colour);
    TimePanel panel;
    auto* label = panel.findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), geometry);
    QCOMPARE(label->font().family(), family);
    QCOMPARE(label->font().pixelSize(), pixelSize);
    QVERIFY(label->font().bold());
    QCOMPARE(label->alignment(), Qt::AlignCenter);
    QVERIFY(!label->autoFillBackground());
    QCOMPARE(textColour(label), colour);
}

void TestTimePanel::showsTheDisplayRows() {
    FakeTickSource ticks(7'000'000);
    RunClock clock(ticks);
    TimeDisplay display(clock);
    TimePanel panel;
    connect(&display, &TimeDisplay::rowChanged, &panel, &TimePanel::applyRow);
    TimingSettings settings;
    settings.timerMs = 0;
    settings.autoReset = false;
    clock.startUp(settings);

    clock.start();
    ticks.advanceMilliseconds(83456);
    clock.lap();
    clock.clockTick();
    const int upper[5] = {0, 8, 3, 4, 5};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(panel.digit(DisplayRow::Upper, i)->value(), upper[i]);
        QCOMPARE(panel.digit(DisplayRow::Lower, i)->value(), upper[i]);
    }
    const QColor yellow = rgb(0xFFFF00);
    const QColor blue = rgb(0x00B0FF);
    QCOMPARE(panel.digit(DisplayRow::Upper, 0)->colorOn(), rgb(0x404040));
    QCOMPARE(panel.digit(DisplayRow::Upper, 1)->colorOn(), yellow);
    QCOMPARE(panel.digit(DisplayRow::Upper, 4)->colorOn(), yellow);
    QCOMPARE(textColour(panel.comma(DisplayRow::Upper)), yellow);
    QCOMPARE(textColour(panel.secondsCaption()), yellow);
    QCOMPARE(textColour(panel.hundredthsCaption()), yellow);
    QCOMPARE(panel.digit(DisplayRow::Lower, 0)->colorOn(), rgb(0x404040));
    QCOMPARE(panel.digit(DisplayRow::Lower, 1)->colorOn(), blue);
    QCOMPARE(textColour(panel.comma(DisplayRow::Lower)), blue);

    clock.stop();
    clock.reset();
    QCOMPARE(textColour(panel.comma(DisplayRow::Lower)), rgb(0x404040));
    QCOMPARE(panel.digit(DisplayRow::Lower, 4)->colorOn(), rgb(0x404040));
    // Without the countdown button Start does not recolour; the reset did.
    QCOMPARE(textColour(panel.secondsCaption()), yellow);
}

void TestTimePanel::repaintsOnlyChangedDigits() {
    FakeTickSource ticks(7'000'000);
    RunClock clock(ticks);
    TimeDisplay display(clock);
    TimePanel panel;
    connect(&display, &TimeDisplay::rowChanged, &panel, &TimePanel::applyRow);
    TimingSettings settings;
    settings.timerMs = 0;
    settings.autoReset = false;
    clock.startUp(settings);
    clock.start();
    ticks.advanceMilliseconds(12340);
    clock.clockTick();

    PaintCounter counter;
    for (auto* digit : panel.findChildren<SegmentDigit*>())
        digit->installEventFilter(&counter);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTRY_COMPARE(counter.counts.size(), 10);
    QTest::qWait(20);
    counter.counts.clear();

    ticks.advanceMilliseconds(10);
    clock.clockTick();
    QTRY_COMPARE(counter.counts.value(QStringLiteral("Digit8")), 1);
    QTest::qWait(20);
    QCOMPARE(counter.counts.size(), 1);

    counter.counts.clear();
    ticks.advanceMilliseconds(50);
    clock.clockTick();
    QTRY_COMPARE(counter.counts.value(QStringLiteral("Digit7")), 1);
    QTest::qWait(20);
    QCOMPARE(counter.counts.keys(), (QStringList{"Digit7", "Digit8"}));

    counter.counts.clear();
    clock.clockTick(); // the same reading again
    QTest::qWait(30);
    QVERIFY(counter.counts.isEmpty());
}

void TestTimePanel::thousandSecondsOverflowTheHundredsDigit() {
    FakeTickSource ticks;
    RunClock clock(ticks);
    TimeDisplay display(clock);
    TimePanel panel;
    connect(&display, &TimeDisplay::rowChanged, &panel, &TimePanel::applyRow);
    SegmentDigit* hundreds = panel.digit(DisplayRow::Upper, 0);
    QSignalSpy overflow(hundreds, &SegmentDigit::overflow);
    display.showTime(DisplayRow::Upper, 1234567);
    QCOMPARE(overflow.size(), 1);
    QCOMPARE(hundreds->value(), 0);
    QCOMPARE(hundreds->colorOn(), rgb(0x00FF00));
    const int rest[4] = {3, 4, 5, 6};
    for (int i = 1; i < 5; ++i)
        QCOMPARE(panel.digit(DisplayRow::Upper, i)->value(), rest[i - 1]);
    // The overshoot of a countdown: the hundredths digit overflows and shows 0.
    QSignalSpy hundredths(panel.digit(DisplayRow::Upper, 4), &SegmentDigit::overflow);
    display.showTime(DisplayRow::Upper, -25);
    QCOMPARE(hundredths.size(), 1);
    QCOMPARE(panel.digit(DisplayRow::Upper, 4)->value(), 0);
}

QTEST_MAIN(TestTimePanel)
#include "tst_timepanel.moc"

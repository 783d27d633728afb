#include "mock/TimingWindowFixture.h"
#include "timing/DisplayRow.h"
#include "timing/widgets/TimePanel.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainWindow.h"
#include "widgets/ColorButton.h"

#include <QDir>
#include <QHash>
#include <QTest>

// The timing part of the window as drawn on a real X server: the coloured buttons and the lit
// digits of a running and of a stopped clock. Setting VELMORA_SCREENSHOT_DIR keeps a picture
// of each for a look by eye.
class TestMainWindowTimingXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runningClock();
    void stoppedClock();

private:
    static void keepScreenshot(QWidget& window, const QString& name);
    static QColor faceOf(ColorButton* button);
    static int pixelsOf(QWidget* widget, const QColor& colour);
};

void TestMainWindowTimingXvfb::keepScreenshot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QVERIFY(window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
}

QColor TestMainWindowTimingXvfb::faceOf(ColorButton* button) {
    // The face is the colour most pixels have, whatever the caption and edges cover.
    const QImage image = button->grab().toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    }
    QRgb most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > counts.value(most))
            most = it.key();
    }
    return QColor(most);
}

int TestMainWindowTimingXvfb::pixelsOf(QWidget* widget, const QColor& colour) {
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += QColor(image.pixel(x, y)) == colour ? 1 : 0;
    }
    return count;
}

void TestMainWindowTimingXvfb::runningClock() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    f.window().resize(900, 560);
    QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
    QVERIFY(f.run({"F5", "+8000", "F6", "+3456"}));
    HeaderBand* h = f.window().header();
    QCOMPARE(faceOf(h->stopButton), QColor(0xFF0000));
    QCOMPARE(faceOf(h->intermediateButton), QColor(0xFFFF00));
    QCOMPARE(faceOf(h->startButton), ColorButton::faceColor());
    QCOMPARE(f.displayRow(DisplayRow::Upper), QStringLiteral("011,45"));
    TimePanel* panel = f.window().timingView().timePanel();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->mapTo(&f.window(), QPoint(0, 0)), h->mapTo(&f.window(), QPoint(0, 0)));
    // Upper row lit yellow after the split, lower row in its blue.
    QVERIFY(pixelsOf(panel, QColor(0xFFFF00)) > 500);
    QVERIFY(pixelsOf(panel, QColor(0x00B0FF)) > 500);
    keepScreenshot(f.window(), QStringLiteral("timing-running"));
}

void TestMainWindowTimingXvfb::stoppedClock() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    f.window().resize(900, 560);
    QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
    QVERIFY(f.run({"F5", "+10000", "F6", "+1800", "F8"}));
    HeaderBand* h = f.window().header();
    QCOMPARE(faceOf(h->enterButton), QColor(0xA6CAF0));
    QCOMPARE(faceOf(h->resetButton), QColor(Qt::black));
    QCOMPARE(faceOf(h->stopButton), ColorButton::faceColor());
    QCOMPARE(f.displayRow(DisplayRow::Lower), QStringLiteral("100,00"));
    QVERIFY(h->enterButton->hasFocus());
    keepScreenshot(f.window(), QStringLiteral("timing-stopped"));
}

QTEST_MAIN(TestMainWindowTimingXvfb)
#include "tst_mainwindow_timing_xvfb.moc"

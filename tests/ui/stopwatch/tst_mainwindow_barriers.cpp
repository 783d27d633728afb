#include "mock/FakeRealtimeSystem.h"
#include "mock/TimingWindowFixture.h"
#include "timing/BarrierLogic.h"
#include "timing/DisplayRow.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/SerialPort.h"
#include "ui/program/InfoDialog.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/PictureGlyphs.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <sys/ioctl.h>

namespace {

const QString adapter = QStringLiteral("/dev/ttyUSB0");

bool shows(QLabel* image, PictureGlyphs::Glyph glyph) {
    return image->pixmap().toImage() == PictureGlyphs::pixmap(glyph, 30).toImage();
}

} // namespace

// The light barriers through the window's serial port, on a fake line device that runs on the
// test's clock: a contact starts and stops the run at the time its line changed.
class TestMainWindowBarriers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void portScanAtStartUp_data();
    void portScanAtStartUp();
    void contactsTimeTheRunAtTheirEdges();
    void unpluggedAdapterLeavesTheKeys();
    void shutdownClosesThePort();
    void noRealtimePriorityIsToldOnce();

private:
    static void openPort(TimingWindowFixture& f);
    // Sets lines on the device and waits until the monitor has stamped the change and is
    // waiting again, so the clock can move on without moving the stamp. Empty when the
    // monitor did not come back.
    static std::optional<qint64> changeLines(TimingWindowFixture& f, quint32 lines, quint32 levels);
};

void TestMainWindowBarriers::openPort(TimingWindowFixture& f) {
    f.window().session().settings().port = 1;
    QVERIFY(f.window().session().port().open(1));
    QVERIFY(QTest::qWaitFor([&] { return f.device()->isWaiting(); }));
}

std::optional<qint64> TestMainWindowBarriers::changeLines(TimingWindowFixture& f, quint32 lines,
                                                          quint32 levels) {
    const auto waits = [&] {
        const QStringList calls = f.serial().calls();
        return std::count_if(calls.cbegin(), calls.cend(), [](const QString& call) {
            return call.startsWith(QStringLiteral("TIOCMIWAIT"));
        });
    };
    const auto before = waits();
    const qint64 edge = f.device()->setLevels(lines, levels);
    if (!QTest::qWaitFor([&] { return waits() > before; }, 5000))
        return std::nullopt;
    return edge;
}

void TestMainWindowBarriers::portScanAtStartUp_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<quint32>("mask");
    QTest::newRow("no adapter") << QString() << 0u;
    QTest::newRow("one adapter") << adapter << 0x10001u;
}

void TestMainWindowBarriers::portScanAtStartUp() {
    QFETCH(QString, device);
    QFETCH(quint32, mask);
    TimingWindowFixture f(device);
    QCOMPARE(f.window().session().presentPortMask(), mask);
    // Without a port setting nothing is opened and the barriers stay out of sight.
    QVERIFY(!f.window().session().port().isOpen());
    QVERIFY(f.window().header()->startBarrierPicture->isHidden());
    QVERIFY(!f.window().actions().lockStartBarrier->isEnabled());
}

void TestMainWindowBarriers::contactsTimeTheRunAtTheirEdges() {
    TimingWindowFixture f(adapter);
    HeaderBand& h = *f.window().header();
    openPort(f);
    for (QLabel* image :
         {h.startBarrierPicture, h.intermediateBarrierPicture, h.stopBarrierPicture}) {
        QVERIFY(!image->isHidden());
        QVERIFY(shows(image, PictureGlyphs::Glyph::BarrierBlocked));
    }
    QVERIFY(f.window().actions().lockStartBarrier->isEnabled());
    // F11 frees the start barrier: green with the vertical bar.
    QTest::keyClick(&f.window(), Qt::Key_F11);
    QVERIFY(shows(h.startBarrierPicture, PictureGlyphs::Glyph::BarrierFree));
    // A click on a picture flips its barrier.
    QTest::mouseClick(h.intermediateBarrierPicture, Qt::LeftButton);
    QVERIFY(f.window().session().barriers().isFree(LightBarrier::Intermediate));
    QVERIFY(shows(h.intermediateBarrierPicture, PictureGlyphs::Glyph::BarrierFree));

    f.ticks().setNow(30'000'000);
    const std::optional<qint64> edge = changeLines(f, TIOCM_DSR, TIOCM_DSR);
    QVERIFY(edge);
    const qint64 start = *edge;
    f.ticks().advanceMilliseconds(150); // the window is busy before it gets the event
    const RunClock& clock = f.window().session().clock();
    QTRY_COMPARE(clock.state(), RunClock::State::Running);
    QCOMPARE(clock.startStamp(), start);
    QVERIFY(shows(h.startBarrierPicture, PictureGlyphs::Glyph::BarrierBlocked));
    QVERIFY(shows(h.intermediateBarrierPicture, PictureGlyphs::Glyph::BarrierFree));

    // Within the stop lock the stop contact does nothing; after it the contact stops the run.
    f.ticks().setNow(start + 2'000'000);
    QVERIFY(changeLines(f, TIOCM_CTS, TIOCM_CTS));
    QVERIFY(changeLines(f, TIOCM_CTS, 0));
    QTest::qWait(50);
    QCOMPARE(clock.state(), RunClock::State::Running);
    f.ticks().setNow(start + 6'543'219);
    QVERIFY(changeLines(f, TIOCM_CTS, TIOCM_CTS));
    f.ticks().advanceMilliseconds(80);
    QTRY_COMPARE(clock.state(), RunClock::State::Stopped);
    QCOMPARE(clock.runTime(), 6540);
    QCOMPARE(f.displayRow(DisplayRow::Upper), QStringLiteral("006,54"));
}

void TestMainWindowBarriers::unpluggedAdapterLeavesTheKeys() {
    TimingWindowFixture f(adapter);
    HeaderBand& h = *f.window().header();
    openPort(f);
    f.device()->injectError(EIO);
    QTRY_VERIFY(!f.window().session().port().isOpen());
    QCOMPARE(f.serial().openDescriptors(), 0);
    for (QLabel* image :
         {h.startBarrierPicture, h.intermediateBarrierPicture, h.stopBarrierPicture})
        QVERIFY(image->isHidden());
    QVERIFY(!f.window().actions().lockStartBarrier->isEnabled());
    QVERIFY(!f.window().actions().lockStopBarrier->isEnabled());
    const BarrierLogic& barriers = f.window().session().barriers();
    QTest::keyClick(&f.window(), Qt::Key_F11);
    QVERIFY(!barriers.isFree(LightBarrier::Start));
    // The keys still time runs.
    QVERIFY(f.run({"F5", "+4321", "F8"}));
    QCOMPARE(f.displayRow(DisplayRow::Upper), QStringLiteral("004,32"));
    // The chosen port stays in the settings: the adapter may be back at the next start.
    QCOMPARE(f.window().session().settings().port, 1);
}

void TestMainWindowBarriers::shutdownClosesThePort() {
    TimingWindowFixture f(adapter);
    openPort(f);
    QCOMPARE(f.serial().openDescriptors(), 1);
    f.destroyWindow();
    QCOMPARE(f.serial().openDescriptors(), 0);
    QVERIFY(!f.device()->isWaiting());
}

void TestMainWindowBarriers::noRealtimePriorityIsToldOnce() {
    TimingWindowFixture f(adapter);
    LightBarrierPort& port = f.window().session().port();
    port.comPort().setRealtimeSystem(std::make_shared<FakeRealtimeSystem>());
    const QString told = QStringLiteral("Keine Echtzeit-Priorität für die Lichtschranken: ");
    QCOMPARE(f.window().mainStatusBar()->currentMessage(), QString());
    openPort(f);
    const QString message = f.window().mainStatusBar()->currentMessage();
    QVERIFY2(message.startsWith(told), qPrintable(message));
    f.window().mainStatusBar()->clearMessage();
    port.close();
    port.open(1);
    QVERIFY(port.isOpen());
    QCOMPARE(f.window().mainStatusBar()->currentMessage(), QString());

    // "Info..." keeps saying it.
    InfoDialog info(&f.window());
    f.window().setInfoWindow(&info);
    QString shown;
    QTimer::singleShot(0, &info, [&] {
        shown = info.noticeLabel()->isVisibleTo(&info) ? info.noticeLabel()->text() : QString();
        info.accept();
    });
    f.window().showInfo();
    QCOMPARE(shown, message);
    QVERIFY(info.height() > 178);
}

QTEST_MAIN(TestMainWindowBarriers)
#include "tst_mainwindow_barriers.moc"

#include "mock/TimingWindowFixture.h"
#include "session/RaceSession.h"
#include "timing/LightBarrierPort.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "widgets/ElidingLabel.h"

#include <QDir>
#include <QTest>

// The light-barrier adapter pulled out during a run and plugged in again under another node, as
// the operator sees it: the red status, the keys timing on, the reconnection notice. Setting
// VELMORA_SCREENSHOT_DIR keeps a picture of both for a look by eye.
class TestBarrierHealingXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void adapterPulledOutDuringARun();
};

namespace {

void keepScreenshot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
}

} // namespace

void TestBarrierHealingXvfb::adapterPulledOutDuringARun() {
    const QString byId = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00");
    TimingWindowFixture f(QStringLiteral("/dev/ttyUSB0"));
    f.serial().addLink(byId, QStringLiteral("/dev/ttyUSB0"));
    f.addCompetitors(3);
    LightBarrierPort& port = f.window().session().port();
    QVERIFY(port.open(1));
    MainStatusBar& status = *f.window().mainStatusBar();
    QVERIFY(f.run({"F5", "+12000"}));

    f.serial().unplug(QStringLiteral("/dev/ttyUSB0"));
    QTRY_VERIFY(status.lastingPanel()->isVisible());
    QCOMPARE(status.lastingPanel()->toolTip(),
             QStringLiteral("Lichtschranken getrennt: /dev/ttyUSB0"));
    // Read whole in the designed window, the device name included.
    QTRY_COMPARE(status.lastingPanel()->shownText(), status.lastingPanel()->toolTip());
    QTest::qWait(100);
    keepScreenshot(f.window(), QStringLiteral("barriers-lost"));

    // The keys go on timing while the adapter is away.
    QVERIFY(f.run({"+10000"}));
    f.serial().addDevice(QStringLiteral("/dev/ttyUSB1"));
    f.serial().addLink(byId, QStringLiteral("/dev/ttyUSB1"));
    QTRY_VERIFY_WITH_TIMEOUT(port.isOpen(), 3 * LightBarrierPort::WatchIntervalMs);
    QTRY_VERIFY(!status.lastingPanel()->isVisible());
    QVERIFY(status.noticePanel()->toolTip().contains(u"Lichtschranken wieder verbunden"));
    QTRY_VERIFY(status.noticePanel()->shownText().startsWith(u"Lichtschranken wieder verbunden"));
    QTest::qWait(100);
    keepScreenshot(f.window(), QStringLiteral("barriers-restored"));

    // The run begun before the loss is stopped and entered by key.
    QVERIFY(f.run({"+1230", "F8", "F9"}));
    QCOMPARE(f.heatRow(1), QStringLiteral("11 2323 . . ."));
}

QTEST_MAIN(TestBarrierHealingXvfb)
#include "tst_barrierhealing_xvfb.moc"

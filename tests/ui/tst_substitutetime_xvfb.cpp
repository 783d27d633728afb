#include "mock/TimingWindowFixture.h"
#include "session/RaceSession.h"
#include "settings/Settings.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "ui/MainActions.h"
#include "ui/SubstituteTimeDialog.h"
#include "ui/TFormMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/ioctl.h>

// A run whose stop barrier missed the rider, stopped by key: "Ersatzzeit berechnen..." takes
// System B's time corrected by the run before, and enters it in the competitor's cell in
// place of the key's time. VELMORA_SCREENSHOT_DIR keeps the dialog and the evidence PDF.
class TestSubstituteTimeXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missedStopGetsTheSubstitute();
};

void TestSubstituteTimeXvfb::missedStopGetsTheSubstitute() {
    TimingWindowFixture f(QStringLiteral("/dev/ttyUSB0"));
    f.addCompetitors(3);
    RaceSession& timing = f.window().session();
    timing.settings().backupLine = true;
    timing.barriers().applySettings(RaceSession::timingSettings(timing.settings()));
    QVERIFY(timing.port().open(1));
    QVERIFY(QTest::qWaitFor([&] { return f.device()->isWaiting(); }));
    QAction* command = f.window().actions().mErsatzzeit;
    QVERIFY(!command->isEnabled());

    // Run 1: B 13 ms before A.
    QVERIFY(f.run({"F5", "+31000"}));
    f.device()->setLevels(TIOCM_RNG, TIOCM_RNG);
    // The clock moves on only once the monitor has looked, as time would.
    const auto bTaken = [&] {
        return timing.barriers().backupStop().currentRun()->stopB;
    };
    QTRY_VERIFY(bTaken());
    QVERIFY(f.run({"+13"}));
    f.device()->setLevels(TIOCM_CTS, TIOCM_CTS);
    QTRY_COMPARE(timing.clock().state(), RunClock::State::Stopped);
    QVERIFY(f.run({"F9"}));
    f.device()->setLevels(TIOCM_RNG | TIOCM_CTS, 0);
    QVERIFY(f.run({"+5000"}));

    // Run 2: B at 31,455 s, no A; the operator stops by key a little later.
    QVERIFY(f.run({"F5", "+31455"}));
    f.device()->setLevels(TIOCM_RNG, TIOCM_RNG);
    QTRY_VERIFY(bTaken());
    QVERIFY(f.run({"+300", "F8"}));
    QCOMPARE(timing.clock().state(), RunClock::State::Stopped);
    QVERIFY(command->isEnabled());

    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    bool shown = false;
    std::optional<qint32> result;
    QTimer::singleShot(200, this, [&] {
        auto* dialog = qobject_cast<SubstituteTimeDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        result = dialog->resultHundredths();
        if (!dir.isEmpty()) {
            dialog->grab().save(QDir(dir).filePath(QStringLiteral("substitute-dialog.png")));
            QVERIFY(
                dialog->writePdf(QDir(dir).filePath(QStringLiteral("Ersatzzeit-Nachweis.pdf"))));
        }
        QTest::mouseClick(dialog->enterButton, Qt::LeftButton);
    });
    command->trigger();
    QVERIFY(shown);
    QCOMPARE(result, std::optional<qint32>(3146));
    // 31,455 s + 0,013 s = 31,468 s: 31,46 in the cell, not the key's 31,75.
    QCOMPARE(f.heatRow(1), QStringLiteral("11 3101 . . ."));
    QCOMPARE(f.heatRow(2), QStringLiteral("12 3146 . . ."));
    QCOMPARE(timing.clock().state(), RunClock::State::Ready);
    // The auto entry was held: nothing else arrives later.
    QTest::qWait(200);
    QCOMPARE(f.heatRow(3), QStringLiteral("13 . . . ."));
}

QTEST_MAIN(TestSubstituteTimeXvfb)
#include "tst_substitutetime_xvfb.moc"

#include "mock/WindowFixture.h"
#include "tv/widgets/TvTimeWindow.h"
#include "tv/widgets/TvWindows.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QProcess>
#include <QTest>

// The audience screen unplugged and plugged in again while a TV window is shown, on the two
// monitors of scripts/with-two-monitors: the operator's screen is never covered, the status
// bar says why, and the window comes back with its screen.
class TstTvScreensTwoMonitors : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unpluggedAndBackWhileShown();
    void cleanupTestCase() { QVERIFY(monitor(true)); }

private:
    static bool monitor(bool present) {
        // The right half of the framebuffer is the second monitor, as the script set it.
        const QStringList arguments =
            present ? QStringList{"--setmonitor", "R", "1280/339x1024/271+1280+0", "none"}
                    : QStringList{"--delmonitor", "R"};
        QProcess::execute(QStringLiteral("xrandr"), arguments);
        const qsizetype wanted = present ? 2 : 1;
        return QTest::qWaitFor([=] { return QGuiApplication::screens().size() == wanted; }, 5000);
    }
};

void TstTvScreensTwoMonitors::unpluggedAndBackWhileShown() {
    QVERIFY2(QGuiApplication::screens().size() == 2, "needs scripts/with-two-monitors");
    const InstallationFixture install;
    SessionWindow window(install.environment());
    window.session().settings().monitor = 1;
    auto* tv = window.createTvWindows();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const auto radio = [&window] {
        return window.actions().tvModeGroup->checkedAction();
    };
    const QRect audience(1280, 0, 1280, 1024);
    QTest::keyClick(&window, Qt::Key_1, Qt::ControlModifier);
    TvTimeWindow* zeit = tv->time();
    QTRY_VERIFY(zeit->isVisible());
    QTRY_COMPARE(zeit->geometry(), audience);

    QVERIFY(monitor(false));
    QTRY_VERIFY(!zeit->isVisible());
    QCOMPARE(radio(), window.actions().tvModes[0]);
    QCOMPARE(window.mainStatusBar()->currentMessage(),
             QStringLiteral("TV-Modus aus: Bildschirm 2 ist nicht mehr angeschlossen"));
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QCOMPARE(window.session().settings().monitor, 1);

    QVERIFY(monitor(true));
    QTRY_VERIFY(zeit->isVisible());
    QTRY_COMPARE(zeit->geometry(), audience);
    QCOMPARE(radio(), window.actions().tvModes[1]);
    QCOMPARE(window.mainStatusBar()->currentMessage(),
             QStringLiteral("Bildschirm 2 ist wieder angeschlossen: TV-Modus wieder an"));
    // The operator's keys still reach the main window.
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
    QTRY_VERIFY(!zeit->isVisible());
}

QTEST_MAIN(TstTvScreensTwoMonitors)
#include "tst_tvscreens_twomonitors.moc"

#include "mock/WindowFixture.h"
#include "tv/widgets/TFormMonitor2.h"
#include "tv/widgets/TvWindows.h"
#include "ui/MainActions.h"
#include "ui/MainStatusBar.h"
#include "ui/TFormMain.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

// The audience screen unplugged and plugged in again while a TV window is shown, on an X
// server with two real monitors side by side (scripts/with-two-monitors): the operator's
// screen is never covered, the status bar says why, and the windows go to the screen that comes.
class TstTvScreensTwoMonitors : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void unpluggedAndBackWhileShown();
    void projectorSwitchedOnAfterStart();

private:
    static bool monitor(bool present);
    void start();
    QString checkedRadio() const;

    std::unique_ptr<InstallationFixture> m_install;
    std::unique_ptr<TFormMain> m_window;
    TvWindows* m_tv = nullptr;
};

namespace {

const QRect Audience(1280, 0, 1280, 1024);
const QRect Operator(0, 0, 1280, 1024);

} // namespace

bool TstTvScreensTwoMonitors::monitor(bool present) {
    // The right half of the server's framebuffer is the second monitor, as the script set it.
    const QStringList arguments =
        present ? QStringList{"--setmonitor", "R", "1280/339x1024/271+1280+0", "none"}
                : QStringList{"--delmonitor", "R"};
    if (QProcess::execute(QStringLiteral("xrandr"), arguments) != 0)
        return false;
    const qsizetype wanted = present ? 2 : 1;
    return QTest::qWaitFor([wanted] { return QGuiApplication::screens().size() == wanted; }, 5000);
}

void TstTvScreensTwoMonitors::initTestCase() {
    if (QGuiApplication::screens().size() != 2)
        QFAIL("needs the two monitors of scripts/with-two-monitors");
}

void TstTvScreensTwoMonitors::init() {
    m_install = std::make_unique<InstallationFixture>();
}

void TstTvScreensTwoMonitors::cleanup() {
    m_window.reset();
    m_install.reset();
    m_tv = nullptr;
    if (QGuiApplication::screens().size() < 2)
        QVERIFY(monitor(true));
}

void TstTvScreensTwoMonitors::start() {
    m_window = std::make_unique<TFormMain>(m_install->environment());
    m_window->settings().monitor = 1;
    m_tv = new TvWindows(*m_window);
    m_window->setTvWindows(m_tv);
    m_window->move(100, 100);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

QString TstTvScreensTwoMonitors::checkedRadio() const {
    for (QAction* entry : m_window->actions().tvModes)
        if (entry->isChecked())
            return entry->objectName();
    return {};
}

void TstTvScreensTwoMonitors::unpluggedAndBackWhileShown() {
    start();
    QTest::keyClick(m_window.get(), Qt::Key_1, Qt::ControlModifier);
    TFormMonitor2* zeit = m_tv->time();
    QTRY_VERIFY(zeit->isVisible());
    QTRY_COMPARE(zeit->geometry(), Audience);

    QVERIFY(monitor(false));
    QTRY_VERIFY(!zeit->isVisible());
    QCOMPARE(checkedRadio(), QStringLiteral("TVModusAus"));
    QCOMPARE(m_window->StatusBar1()->currentMessage(),
             QStringLiteral("TV-Modus aus: Bildschirm 2 ist nicht mehr angeschlossen"));
    QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
    QCOMPARE(m_window->settings().monitor, 1);

    QVERIFY(monitor(true));
    QTRY_VERIFY(zeit->isVisible());
    QTRY_COMPARE(zeit->geometry(), Audience);
    QCOMPARE(checkedRadio(), QStringLiteral("TVModusZeit"));
    QCOMPARE(m_window->StatusBar1()->currentMessage(),
             QStringLiteral("Bildschirm 2 ist wieder angeschlossen: TV-Modus wieder an"));
    // The operator's keys still reach the main window.
    QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
    QTest::keyClick(m_window.get(), Qt::Key_0, Qt::ControlModifier);
    QTRY_VERIFY(!zeit->isVisible());
}

void TstTvScreensTwoMonitors::projectorSwitchedOnAfterStart() {
    QVERIFY(monitor(false));
    start();
    QCOMPARE(m_window->settings().monitor, 1);
    // Until the projector comes, "Zeit" is on the operator's screen and Escape ends it.
    QTest::keyClick(m_window.get(), Qt::Key_1, Qt::ControlModifier);
    TFormMonitor2* zeit = m_tv->time();
    QTRY_VERIFY(zeit->isVisible());
    QTRY_COMPARE(zeit->geometry(), Operator);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(zeit));

    QVERIFY(monitor(true));
    QTRY_COMPARE(zeit->geometry(), Audience);
    QVERIFY(zeit->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
    QCOMPARE(checkedRadio(), QStringLiteral("TVModusZeit"));
}

QTEST_MAIN(TstTvScreensTwoMonitors)
#include "tst_tvscreens_twomonitors.moc"

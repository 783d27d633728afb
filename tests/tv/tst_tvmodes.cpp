#include "mock/OffscreenScreens.h"
#include "mock/WindowFixture.h"
#include "platform/CompetitionInhibitor.h"
#include "settings/TvPlacement.h"
#include "tv/widgets/TvTimeWindow.h"
#include "tv/widgets/TvWindow.h"
#include "tv/widgets/TvWindows.h"
#include "ui/program/SettingsCommand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

// The TV mode: which window the entries, Ctrl+T, Escape and closing leave on screen, where it
// stands, and whether the operator's keys stay with the main window.
class TstTvModes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void steps_data();
    void steps();
    void placement_data();
    void placement();
    void atMostOneShown();
    void screenChanges_data();
    void screenChanges();
    void closingTheWindowEndsTheProgram();

private:
    void start(int monitor);
    void act(const QString& step);
    QString shownWindow() const;
    QString checkedRadio() const;

    std::unique_ptr<InstallationFixture> m_install;
    std::unique_ptr<MainWindow> m_window;
    TvWindows* m_tv = nullptr;
};

namespace {

const QRect First(0, 0, 1280, 1024);
const QRect Second(1280, 0, 1920, 1080);

} // namespace

void TstTvModes::init() {
    m_install = std::make_unique<InstallationFixture>();
}

void TstTvModes::cleanup() {
    m_window.reset();
    m_install.reset();
    m_tv = nullptr;
}

void TstTvModes::start(int monitor) {
    m_window = std::make_unique<SessionWindow>(m_install->environment());
    m_window->session().settings().monitor = monitor;
    m_tv = m_window->createTvWindows();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

// "c1": Ctrl+1 on the main window, "n1": Ctrl+Numpad1, "T": Ctrl+T, "Esc": Escape in the shown
// TV window, "close": the platform closes it, "monitor=2": the TV screen becomes screen
// index 2 (absent here: as if it was unplugged) and the windows follow.
void TstTvModes::act(const QString& step) {
    MainWindow* w = m_window.get();
    if (step.startsWith(u"monitor=")) {
        w->session().settings().monitor = step.mid(8).toInt();
        Q_EMIT w->settingsCommand().tvPlacement().placeTvWindows();
    } else if (step == u"T") {
        QTest::keyClick(w, Qt::Key_T, Qt::ControlModifier);
    } else if (step.startsWith(u'c') && step.size() == 2) {
        QTest::keyClick(w, static_cast<Qt::Key>(Qt::Key_0 + step.at(1).digitValue()),
                        Qt::ControlModifier);
    } else if (step.startsWith(u'n')) {
        QTest::keyClick(w, static_cast<Qt::Key>(Qt::Key_0 + step.at(1).digitValue()),
                        Qt::ControlModifier | Qt::KeypadModifier);
    } else if (TvWindow* shown = m_tv->window(m_tv->mode()); shown && step == u"Esc") {
        QTest::keyClick(shown, Qt::Key_Escape);
    } else if (shown && step == u"close") {
        shown->close();
    }
}

QString TstTvModes::shownWindow() const {
    QStringList shown;
    for (int mode = 1; mode <= 4; ++mode)
        if (m_tv->window(mode)->isVisible())
            shown << m_tv->window(mode)->objectName();
    return shown.join(u',');
}

QString TstTvModes::checkedRadio() const {
    for (QAction* entry : m_window->actions().tvModes)
        if (entry->isChecked())
            return entry->objectName();
    return {};
}

void TstTvModes::steps_data() {
    QTest::addColumn<int>("monitor");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("radio");

    QTest::newRow("start: off") << 1 << ""
                                << ""
                                << "TVModusAus";
    QTest::newRow("Ctrl+1 Zeit") << 1 << "c1"
                                 << "Zeit"
                                 << "TVModusZeit";
    QTest::newRow("Ctrl+2 Best Team") << 1 << "c2"
                                      << "Best Team"
                                      << "TVModusBestTeam";
    QTest::newRow("Ctrl+3 TOP3") << 1 << "c3"
                                 << "TOP3 je Klasse"
                                 << "TVModusTop3";
    QTest::newRow("Ctrl+4 Video") << 1 << "c4"
                                  << "Video"
                                  << "TVModusVideo";
    QTest::newRow("Ctrl+0 hides") << 1 << "c3 c0"
                                  << ""
                                  << "TVModusAus";
    QTest::newRow("Ctrl+T from off shows Zeit") << 1 << "T"
                                                << "Zeit"
                                                << "TVModusZeit";
    QTest::newRow("Ctrl+T twice is off again") << 1 << "T T"
                                               << ""
                                               << "TVModusAus";
    QTest::newRow("Ctrl+T from another mode is off") << 1 << "c2 T"
                                                     << ""
                                                     << "TVModusAus";
    QTest::newRow("Ctrl+Numpad1 keeps the radio mark") << 1 << "c2 n1"
                                                       << "Zeit"
                                                       << "TVModusBestTeam";
    QTest::newRow("Ctrl+Numpad4 Video") << 0 << "n4"
                                        << "Video"
                                        << "TVModusAus";
    QTest::newRow("Ctrl+Numpad0 hides") << 1 << "c1 n0"
                                        << ""
                                        << "TVModusZeit";
    QTest::newRow("another mode hides the first") << 1 << "c1 c2 c4"
                                                  << "Video"
                                                  << "TVModusVideo";
    QTest::newRow("Escape on the operator's screen is off") << 0 << "c1 Esc"
                                                            << ""
                                                            << "TVModusAus";
    QTest::newRow("Escape on a separate screen does nothing") << 1 << "c1 Esc"
                                                              << "Zeit"
                                                              << "TVModusZeit";
    QTest::newRow("closing the window is off") << 1 << "c3 close"
                                               << ""
                                               << "TVModusAus";
    QTest::newRow("closing on screen 0 is off") << 0 << "c2 close"
                                                << ""
                                                << "TVModusAus";
}

void TstTvModes::steps() {
    QFETCH(int, monitor);
    QFETCH(QString, steps);
    QFETCH(QString, shown);
    QFETCH(QString, radio);
    start(monitor);
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts))
        act(step);
    QCOMPARE(shownWindow(), shown);
    QCOMPARE(checkedRadio(), radio);
    QCOMPARE(m_window->session().inhibitor().wanted(), !shown.isEmpty());
}

void TstTvModes::placement_data() {
    QTest::addColumn<int>("monitor");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<bool>("mainKeepsKeys");
    QTest::newRow("Zeit on the second screen") << 1 << "c1" << Second << true;
    QTest::newRow("TOP3 on the second screen") << 1 << "c3" << Second << true;
    QTest::newRow("Video on the second screen") << 1 << "c4" << Second << true;
    QTest::newRow("Best Team on the second screen") << 1 << "c2" << Second << true;
    QTest::newRow("Zeit on the operator's screen takes the keys") << 0 << "c1" << First << false;
    QTest::newRow("Best Team on the operator's screen") << 0 << "c2" << First << false;
}

void TstTvModes::placement() {
    QFETCH(int, monitor);
    QFETCH(QString, key);
    QFETCH(QRect, bounds);
    QFETCH(bool, mainKeepsKeys);
    start(monitor);
    act(key);
    TvWindow* shown = m_tv->window(m_tv->mode());
    QVERIFY(shown);
    QTRY_COMPARE(shown->geometry(), bounds);
    QVERIFY(shown->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(shown->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(shown->cursor().shape(), Qt::BlankCursor);
    if (mainKeepsKeys) {
        QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
        // The next key still reaches the main window's commands.
        act(QStringLiteral("c0"));
        QCOMPARE(shownWindow(), QString());
    } else {
        QTRY_COMPARE(QApplication::activeWindow(), shown);
    }
}

void TstTvModes::atMostOneShown() {
    start(1);
    for (const char* key : {"c1", "n2", "c3", "n4", "T", "c2", "n3"}) {
        act(QString::fromLatin1(key));
        QVERIFY2(!shownWindow().contains(u','), qPrintable(shownWindow()));
    }
}

void TstTvModes::screenChanges_data() {
    QTest::addColumn<int>("monitor");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<bool>("tvHasKeys");
    QTest::addColumn<QString>("said");
    QTest::newRow("stored screen absent: the operator's, with the keys")
        << 5 << "c1"
        << "Zeit"
        << "TVModusZeit" << First << true << "";
    QTest::newRow("then a TV screen: the window goes there")
        << 5 << "c1 monitor=1"
        << "Zeit"
        << "TVModusZeit" << Second << false << "";
    QTest::newRow("audience screen gone while shown: off and told")
        << 1 << "c1 monitor=3"
        << ""
        << "TVModusAus" << QRect() << false
        << "TV-Modus aus: Bildschirm 4 ist nicht mehr angeschlossen";
    QTest::newRow("and back: the mode comes back")
        << 1 << "c1 monitor=3 monitor=1"
        << "Zeit"
        << "TVModusZeit" << Second << false
        << "Bildschirm 2 ist wieder angeschlossen: TV-Modus wieder an";
    QTest::newRow("a keypad mode comes back without the radio mark")
        << 1 << "n4 monitor=3 monitor=1"
        << "Video"
        << "TVModusAus" << Second << false
        << "Bildschirm 2 ist wieder angeschlossen: TV-Modus wieder an";
    QTest::newRow("a mode chosen meanwhile stays the operator's choice")
        << 1 << "c1 monitor=3 c2 monitor=1"
        << "Best Team"
        << "TVModusBestTeam" << Second << false
        << "TV-Modus aus: Bildschirm 4 ist nicht mehr angeschlossen";
    QTest::newRow("the operator's screen chosen in the settings: off, told, stays off")
        << 1 << "c1 monitor=0 monitor=1"
        << ""
        << "TVModusAus" << QRect() << false
        << "TV-Modus aus: Der TV-Bildschirm ist jetzt der Bildschirm der Bedienung";
}

void TstTvModes::screenChanges() {
    QFETCH(int, monitor);
    QFETCH(QString, steps);
    QFETCH(QString, shown);
    QFETCH(QString, radio);
    QFETCH(QRect, bounds);
    QFETCH(bool, tvHasKeys);
    QFETCH(QString, said);
    start(monitor);
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts))
        act(step);
    QCOMPARE(shownWindow(), shown);
    QCOMPARE(checkedRadio(), radio);
    QCOMPARE(m_window->mainStatusBar()->currentMessage(), said);
    // A shown TV window never covers the operator's screen without taking the keys.
    if (TvWindow* tv = m_tv->window(m_tv->mode()); tv && tv->isVisible()) {
        QTRY_COMPARE(tv->geometry(), bounds);
        QTRY_COMPARE(QApplication::activeWindow(),
                     tvHasKeys ? static_cast<QWidget*>(tv) : m_window.get());
        QCOMPARE(tv->screenIndex(), tvHasKeys ? 0 : 1);
    } else {
        QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
    }
    // The stored screen is the operator's choice, kept whether it is there or not.
    QCOMPARE(m_window->session().settings().monitor,
             steps.contains(u"monitor=") ? steps.section(u'=', -1).toInt() : monitor);
}

void TstTvModes::closingTheWindowEndsTheProgram() {
    start(1);
    act(QStringLiteral("c1"));
    QVERIFY(m_tv->time()->isVisible());
    // The program's own loop, as the program entry runs it; it must end with the main window
    // although the audience window is still up.
    QTimer::singleShot(0, m_window.get(), [this] { m_window->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QApplication::exec(), 0);
}

int main(int argc, char* argv[]) {
    OffscreenScreens::use({First, Second});
    QApplication app(argc, argv);
    TstTvModes test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_tvmodes.moc"

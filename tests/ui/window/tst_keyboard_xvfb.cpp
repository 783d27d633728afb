#include "competition/Competition.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/TimingWindowFixture.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTest>

// The window driven from the keyboard alone on a real X server with a window manager: Tab
// walks the controls, Alt opens the menus, Ctrl+Tab the pages, and F10 stays the reset.
// Setting VELMORA_SCREENSHOT_DIR keeps a picture of the screen with a menu open.
class TestKeyboardXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tabLeavesTheTable();
    void altOpensTheMenus_data();
    void altOpensTheMenus();
    void f10StillResets();
    void ctrlTabChangesPages_data();
    void ctrlTabChangesPages();

private:
    static void key(MainWindow& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {});
    static void keepScreen(const QString& name);
};

void TestKeyboardXvfb::key(MainWindow& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    // Through the window system to the window with the keyboard, as a real key arrives.
    QWindow* target = QGuiApplication::focusWindow();
    QTest::keyClick(target ? target : window.windowHandle(), key, modifiers);
    QTest::qWait(20);
}

void TestKeyboardXvfb::keepScreen(const QString& name) {
    // The whole screen: an open menu is a window of its own that a grab of the main one misses.
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QTest::qWait(100);
    const QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
    QCOMPARE(QProcess::execute(QStringLiteral("import"), {"-window", "root", file}), 0);
}

void TestKeyboardXvfb::tabLeavesTheTable() {
    TimingWindowFixture f;
    f.addCompetitors(12);
    CompetitionTable& heat = f.window().session().competition().heatStartList();
    CompetitionTableView* view = f.window().tableView(0);
    heat.setRow(3);
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    key(f.window(), Qt::Key_Tab);
    QVERIFY(!view->hasFocus());
    QVERIFY(QApplication::focusWidget());
    keepScreen(QStringLiteral("tab-left-the-table"));
    for (int i = 0; i < 17; ++i)
        key(f.window(), Qt::Key_Tab);
    QCOMPARE(heat.selectedRow(), 3);
    key(f.window(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(heat.selectedRow(), 3);
}

void TestKeyboardXvfb::altOpensTheMenus_data() {
    QTest::addColumn<int>("letter");
    QTest::addColumn<QString>("menu");
    QTest::newRow("Alt+S") << int(Qt::Key_S) << "Startliste";
    QTest::newRow("Alt+U") << int(Qt::Key_U) << "Stoppuhr";
    QTest::newRow("Alt+P") << int(Qt::Key_P) << "Programm";
}

void TestKeyboardXvfb::altOpensTheMenus() {
    QFETCH(int, letter);
    QFETCH(QString, menu);
    TimingWindowFixture f;
    f.addCompetitors(3);
    key(f.window(), Qt::Key(letter), Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->objectName(), menu);
    keepScreen(QStringLiteral("menu-") + menu);
    // The open menu does not keep the clock from its keys.
    key(f.window(), Qt::Key_F5);
    QCOMPARE(f.window().session().clock().state(), RunClock::State::Running);
    key(f.window(), Qt::Key_Escape);
    key(f.window(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

void TestKeyboardXvfb::f10StillResets() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    f.window().session().clock().setAutoEntry(false);
    key(f.window(), Qt::Key_F5);
    f.ticks().advanceMilliseconds(1500);
    key(f.window(), Qt::Key_F8);
    QCOMPARE(f.window().session().clock().state(), RunClock::State::Stopped);
    key(f.window(), Qt::Key_F10);
    QCOMPARE(f.window().session().clock().state(), RunClock::State::Ready);
    QCOMPARE(f.heatRow(1), QStringLiteral("11 . . . ."));
    // No menu opened and the menu bar did not take the keyboard.
    QTest::qWait(100);
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(!f.window().menuBar()->activeAction());
    QVERIFY(!f.window().menuBar()->hasFocus());
    key(f.window(), Qt::Key_F5);
    QCOMPARE(f.window().session().clock().state(), RunClock::State::Running);
}

void TestKeyboardXvfb::ctrlTabChangesPages_data() {
    QTest::addColumn<QString>("focus");
    QTest::newRow("focus on the timing buttons") << QString();
    QTest::newRow("focus in the table") << "table";
    QTest::newRow("focus in the title") << "title";
}

void TestKeyboardXvfb::ctrlTabChangesPages() {
    QFETCH(QString, focus);
    TimingWindowFixture f;
    MainWindow& w = f.window();
    CompetitionTable& heat = w.session().competition().heatStartList();
    for (int i = 1; i <= 3; ++i)
        heat.appendRow({QString::number(i), "N", "V", "C", "1", "", "1000", "1100", "1200"});
    if (QWidget* field = focus == u"table"   ? w.tableView(0)
                         : focus == u"title" ? static_cast<QWidget*>(w.header()->titleEdit)
                                             : nullptr) {
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
    }
    StagePages* pages = w.stagePages();
    QCOMPARE(pages->currentIndex(), 0);
    key(w, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 1);
    // The same steps as a click on the tab: the heat results have been derived.
    QCOMPARE(w.session().competition().heatResults().rowsWithHeader(), 4);
    key(w, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 2);
    QCOMPARE(w.session().competition().finalStartList().rowsWithHeader(), 4);
    key(w, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pages->currentIndex(), 1);
    key(w, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    key(w, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pages->currentIndex(), 3);
    // A page that cannot be chosen is passed over.
    pages->setTabEnabled(0, false);
    key(w, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 1);
}

QTEST_MAIN(TestKeyboardXvfb)
#include "tst_keyboard_xvfb.moc"

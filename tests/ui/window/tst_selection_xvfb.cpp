#include "competition/Competition.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/TimingWindowFixture.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"
#include "widgets/PageTabBar.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QTest>

// The competitor chosen in a start list stays chosen while the operator looks at other pages,
// and the next run is entered for that competitor. Setting VELMORA_SCREENSHOT_DIR keeps a
// picture of the final start list after the look away.
class TestSelectionXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void finalistStaysSelected_data();
    void finalistStaysSelected();
    void heatCompetitorStaysSelectedAcrossSorting();

private:
    static void clickTab(MainWindow& window, int page);
    static void clickRow(MainWindow& window, int page, int row);
    static void key(MainWindow& window, Qt::Key key);
    static void keepScreenshot(QWidget& window, const QString& name);
    // A random competition whose results on this start-list page are deleted, to be timed now.
    static void openWithoutResults(TimingWindowFixture& f, int page);
};

void TestSelectionXvfb::clickTab(MainWindow& window, int page) {
    PageTabBar* tabs = window.stagePages()->pageTabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
    QTRY_COMPARE(window.stagePages()->currentIndex(), page);
}

void TestSelectionXvfb::clickRow(MainWindow& window, int page, int row) {
    CompetitionTableView* view = window.tableView(page);
    const QModelIndex at = view->model()->index(row - 1, 1);
    view->scrollTo(at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(at).center());
}

void TestSelectionXvfb::key(MainWindow& window, Qt::Key key) {
    // Through the window system, as a key of the keyboard arrives.
    QTest::keyClick(window.windowHandle(), key);
    QTest::qWait(20);
}

void TestSelectionXvfb::keepScreenshot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
}

void TestSelectionXvfb::openWithoutResults(TimingWindowFixture& f, int page) {
    MainWindow& w = f.window();
    w.resize(1100, 900);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.session().clock().setAutoEntry(false);
    f.answers().answer = true;
    w.actions().randomResults->trigger();
    QCOMPARE(w.session().competition().heatStartList().rowsWithHeader(), 101);
    if (page != 0)
        clickTab(w, page);
    w.actions().deleteResults->trigger();
}

void TestSelectionXvfb::finalistStaysSelected_data() {
    QTest::addColumn<QList<int>>("lookAt");
    QTest::newRow("final results") << QList<int>{3};
    QTest::newRow("every other page") << QList<int>{3, 1, 0, 1};
}

void TestSelectionXvfb::finalistStaysSelected() {
    QFETCH(QList<int>, lookAt);
    TimingWindowFixture f;
    MainWindow& w = f.window();
    // The random protocol has every final run; these are to be timed now.
    openWithoutResults(f, 2);
    if (QTest::currentTestFailed())
        return;
    CompetitionTable& finals = w.session().competition().finalStartList();
    CompetitionTable& heat = w.session().competition().heatStartList();
    clickRow(w, 2, 10);
    QCOMPARE(finals.selectedRow(), 10);
    const QString number = finals.cell(0, 10);
    const QString name = finals.cell(1, 10);

    for (int page : lookAt)
        clickTab(w, page);
    clickTab(w, 2);
    QCOMPARE(finals.cell(0, finals.selectedRow()), number);
    QCOMPARE(finals.cell(1, finals.selectedRow()), name);
    QCOMPARE(w.tableView(2)->currentIndex().row(), finals.selectedRow() - 1);
    QCOMPARE(w.statusPanelText(MainStatusBar::RowPosition),
             QStringLiteral("%1:%2").arg(finals.selectedRow()).arg(finals.rowsWithHeader() - 1));
    keepScreenshot(w, QStringLiteral("selection-final-start-list"));

    key(w, Qt::Key_F5);
    QCOMPARE(w.session().clock().state(), RunClock::State::Running);
    f.ticks().advanceMilliseconds(12345);
    key(w, Qt::Key_F8);
    QCOMPARE(w.session().clock().state(), RunClock::State::Stopped);
    key(w, Qt::Key_F9);
    QCOMPARE(w.session().clock().state(), RunClock::State::Ready);
    const int heatRow = heat.findRow(0, number);
    QCOMPARE(heat.cell(9, heatRow), QStringLiteral("1234"));
    int timed = 0;
    for (int r = 1; r < heat.rowsWithHeader(); ++r)
        timed += heat.cell(9, r).isEmpty() ? 0 : 1;
    QCOMPARE(timed, 1);
    QCOMPARE(finals.cell(7, finals.findRow(0, number)), QStringLiteral("1234"));
    keepScreenshot(w, QStringLiteral("selection-final-entered"));
}

void TestSelectionXvfb::heatCompetitorStaysSelectedAcrossSorting() {
    TimingWindowFixture f;
    MainWindow& w = f.window();
    openWithoutResults(f, 0);
    if (QTest::currentTestFailed())
        return;
    CompetitionTable& heat = w.session().competition().heatStartList();
    clickRow(w, 0, 37);
    QCOMPARE(heat.selectedRow(), 37);
    // Start numbers of the random protocol repeat; the competitor is the whole row.
    const QString competitor = heat.rowText(37);
    for (int page : {1, 2, 3, 0})
        clickTab(w, page);
    QCOMPARE(heat.rowText(heat.selectedRow()), competitor);

    // Sorted by "Name" in the edit mode, the selection goes with the competitor.
    QTest::mouseClick(w.cellEditBox(), Qt::LeftButton);
    QHeaderView* header = w.tableView(0)->horizontalHeader();
    const int x = header->sectionViewportPosition(1) + header->sectionSize(1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QVERIFY(heat.selectedRow() != 37);
    QCOMPARE(heat.rowText(heat.selectedRow()), competitor);
    QTest::mouseClick(w.cellEditBox(), Qt::LeftButton);
    const int row = heat.selectedRow();

    key(w, Qt::Key_F5);
    f.ticks().advanceMilliseconds(9870);
    key(w, Qt::Key_F8);
    key(w, Qt::Key_F9);
    QCOMPARE(heat.cell(6, row), QStringLiteral("987"));
    QCOMPARE(heat.selectedRow(), row + 1);
    keepScreenshot(w, QStringLiteral("selection-heat-start-list"));
}

QTEST_MAIN(TestSelectionXvfb)
#include "tst_selection_xvfb.moc"

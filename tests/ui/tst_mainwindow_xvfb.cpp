#include "competition/Competition.h"
#include "competition/widgets/TSortGridView.h"
#include "mock/WindowFixture.h"
#include "ui/HeaderBand.h"
#include "ui/MainStatusBar.h"
#include "ui/PageTabBar.h"
#include "ui/TFormMain.h"
#include "ui/TPageControl.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QDir>
#include <QScreen>
#include <QTest>

// The whole window on a real X server: where it opens, and how it looks with random results.
// Setting VELMORA_SCREENSHOT_DIR keeps a picture of every page for a look by eye.
class TestMainWindowXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensOnTheWorkArea();
    void randomResultsOnEveryPage();

private:
    void keepScreenshot(QWidget& window, const QString& name);
};

void TestMainWindowXvfb::keepScreenshot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QVERIFY(window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
}

void TestMainWindowXvfb::opensOnTheWorkArea() {
    InstallationFixture install;
    TFormMain window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    QTRY_COMPARE(window.frameGeometry().top(), workArea.top());
    const QRect expected = WindowPlacement::defaultPlacement(workArea);
    QCOMPARE(window.frameGeometry().left(), expected.left());
    QCOMPARE(window.width(), 720 - (window.frameGeometry().width() - window.width()));
    QVERIFY(window.frameGeometry().height() <= workArea.height());
    QVERIFY(window.minimumWidth() >= 711);
    keepScreenshot(window, QStringLiteral("start"));
}

void TestMainWindowXvfb::randomResultsOnEveryPage() {
    InstallationFixture install;
    ScriptedAnswers answers;
    answers.answer = true;
    TFormMain window(install.environment(&answers));
    window.resize(1100, 760);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.actions().Generate->trigger();
    QCOMPARE(window.competition().heatStartList().RowCount(), 101);
    for (int page = 0; page < 4; ++page) {
        PageTabBar* tabs = window.PageControl1()->pageTabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
        QTRY_COMPARE(window.PageControl1()->currentIndex(), page);
        // A freshly shown page has its selected row in view.
        TSortGridView* shown = window.SortGridView(page);
        const int selected = window.competition().stageTable(page).Row() - 1;
        QVERIFY(shown->rowAt(0) <= selected);
        QVERIFY(shown->rowAt(shown->viewport()->height() - 1) >= selected);
        window.competition().stageTable(page).setRow(2);
        QCoreApplication::processEvents();
        TSortGridView* view = window.SortGridView(page);
        QVERIFY(view->isVisible());
        // The rows are drawn 19 pixels apart and the selected row is the second one.
        QCOMPARE(view->rowViewportPosition(1) - view->rowViewportPosition(0), 19);
        QCOMPARE(view->currentIndex().row(), 1);
        QCOMPARE(window.statusPanelText(MainStatusBar::RowPosition),
                 QStringLiteral("2:%1").arg(window.competition().stageTable(page).RowCount() - 1));
        keepScreenshot(window, QStringLiteral("page%1").arg(page));
    }
}

QTEST_MAIN(TestMainWindowXvfb)
#include "tst_mainwindow_xvfb.moc"

#include "competition/Competition.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/WindowFixture.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"
#include "ui/window/WindowPlacement.h"
#include "widgets/BandScrollArea.h"
#include "widgets/PageTabBar.h"

#include <QAction>
#include <QDir>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

// The whole window on a real X server with a window manager: where it opens (frame and all),
// and how it looks with random results.
// Setting VELMORA_SCREENSHOT_DIR keeps a picture of every page for a look by eye.
class TestMainWindowXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensOnTheWorkArea();
    void storedPlacement_data();
    void storedPlacement();
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

namespace {

// Logical pixels at 200 % are two device pixels: a one-pixel frame may round either way.
int tolerance() {
    return QGuiApplication::primaryScreen()->devicePixelRatio() > 1 ? 1 : 0;
}

bool near(const QRect& a, const QRect& b) {
    const int t = tolerance();
    return qAbs(a.left() - b.left()) <= t && qAbs(a.top() - b.top()) <= t &&
           qAbs(a.right() - b.right()) <= t && qAbs(a.bottom() - b.bottom()) <= t;
}

QRect onScreen(const QWidget* widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// A busy machine's window manager may take seconds to frame a new window.
bool framed(const QWidget& window) {
    return QTest::qWaitFor([&] { return window.frameGeometry().height() > window.height(); },
                           20000);
}

// The outer window, its status bar and the last rows of the shown table are on the work area.
bool wholeOnWorkArea(MainWindow& window) {
    const int t = tolerance();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry().adjusted(-t, -t, t, t);
    const QRect rows = onScreen(window.tableView(0)->viewport());
    const QRect status = onScreen(window.mainStatusBar());
    return area.contains(window.frameGeometry()) && window.mainStatusBar()->isVisible() &&
           area.contains(status) && area.contains(rows) && rows.bottom() < status.top();
}

} // namespace

void TestMainWindowXvfb::opensOnTheWorkArea() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(framed(window));
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    // The window manager's frame counts: the outer window is the default placement.
    QTRY_VERIFY2(near(window.frameGeometry(), WindowPlacement::defaultPlacement(workArea)),
                 QTest::toString(window.frameGeometry()));
    QVERIFY(wholeOnWorkArea(window));
    // The designed minimum where the screen has room for it, the screen where it has not.
    const int frameWidth = window.frameGeometry().width() - window.width();
    QVERIFY(qAbs(window.minimumWidth() + frameWidth -
                 qMin(WindowPlacement::DesignedMinimumWidth + frameWidth, workArea.width())) <=
            tolerance());
    // A window narrower than the band scrolls the band, so its right end stays reachable.
    auto* band = window.findChild<BandScrollArea*>();
    QVERIFY(band);
    QCOMPARE(band->scrolls(), window.width() < WindowPlacement::DesignedMinimumWidth);
    QTRY_COMPARE(band->horizontalScrollBar()->isVisible(), band->scrolls());
    QCOMPARE(band->horizontalScrollBar()->maximum(),
             qMax(0, WindowPlacement::DesignedMinimumWidth - band->viewport()->width()));
    QVERIFY(band->viewport()->height() >= HeaderBand::BandHeight);
    keepScreenshot(window, QStringLiteral("start"));
}

void TestMainWindowXvfb::storedPlacement_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("on the screen: kept as stored") << "kept";
    QTest::newRow("screen gone") << "gone";
    QTest::newRow("taller than the screen") << "tall";
}

void TestMainWindowXvfb::storedPlacement() {
    QFETCH(QString, kind);
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    QRect stored(workArea.left() + 40, workArea.top() + 30, 760, 480);
    if (kind == QLatin1String("kept") && !workArea.adjusted(0, 0, -10, -30).contains(stored))
        QSKIP("The screen is too small for a smaller stored window");
    if (kind == QLatin1String("gone"))
        stored.moveTo(workArea.right() + 2000, workArea.top() + 100);
    if (kind == QLatin1String("tall"))
        stored.setHeight(workArea.height() + 300);
    InstallationFixture install;
    {
        QSettings settings(install.filePath(QStringLiteral("Velmora.conf")), QSettings::IniFormat);
        const QList<std::pair<QString, int>> values{{"Left", stored.left()},
                                                    {"Top", stored.top()},
                                                    {"Width", stored.width()},
                                                    {"Height", stored.height()}};
        for (const auto& [key, value] : values)
            settings.setValue(key, value);
    }
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(framed(window));
    QTRY_VERIFY2(wholeOnWorkArea(window), QTest::toString(window.frameGeometry()));
    if (kind == QLatin1String("kept"))
        QCOMPARE(QRect(window.pos(), window.size()), stored);
    if (kind == QLatin1String("tall"))
        QVERIFY(qAbs(window.frameGeometry().height() - workArea.height()) <= tolerance());
}

void TestMainWindowXvfb::randomResultsOnEveryPage() {
    InstallationFixture install;
    ScriptedAnswers answers;
    answers.answer = true;
    SessionWindow window(install.environment(&answers));
    window.resize(1100, 760);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.actions().randomResults->trigger();
    QCOMPARE(window.session().competition().heatStartList().rowsWithHeader(), 101);
    for (int page = 0; page < 4; ++page) {
        PageTabBar* tabs = window.stagePages()->pageTabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
        QTRY_COMPARE(window.stagePages()->currentIndex(), page);
        // A freshly shown page has its selected row in view.
        CompetitionTableView* shown = window.tableView(page);
        const int selected = window.session().competition().stageTable(page).selectedRow() - 1;
        QVERIFY(shown->rowAt(0) <= selected);
        QVERIFY(shown->rowAt(shown->viewport()->height() - 1) >= selected);
        window.session().competition().stageTable(page).setRow(2);
        QCoreApplication::processEvents();
        CompetitionTableView* view = window.tableView(page);
        QVERIFY(view->isVisible());
        // The rows are drawn 19 pixels apart and the selected row is the second one.
        QCOMPARE(view->rowViewportPosition(1) - view->rowViewportPosition(0), 19);
        QCOMPARE(view->currentIndex().row(), 1);
        QCOMPARE(window.statusPanelText(MainStatusBar::RowPosition),
                 QStringLiteral("2:%1").arg(
                     window.session().competition().stageTable(page).rowsWithHeader() - 1));
        keepScreenshot(window, QStringLiteral("page%1").arg(page));
    }
}

QTEST_MAIN(TestMainWindowXvfb)
#include "tst_mainwindow_xvfb.moc"

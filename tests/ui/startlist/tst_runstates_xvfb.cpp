#include "competition/CellPresentation.h"
#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/FileBytes.h"
#include "mock/TimingWindowFixture.h"
#include "output/BackupWriter.h"
#include "session/RaceSession.h"
#include "settings/Settings.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"

#include <QDir>
#include <QLabel>
#include <QTest>

// A race day's mishap in the real window: the stop barrier misses a rider, the red status bar
// tells so, F7 enters "DNF"; the run is then repeated and timed, and two undos bring the
// "DNF" back. VELMORA_SCREENSHOT_DIR keeps a picture of each step for a look by eye.
class TestRunStatesXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missedStopRerunAndUndo();

private:
    static void keepScreenshot(QWidget& window, const QString& name);
    static int pixelsOf(QWidget* widget, QRgb colour);
};

void TestRunStatesXvfb::keepScreenshot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
}

int TestRunStatesXvfb::pixelsOf(QWidget* widget, QRgb colour) {
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == colour ? 1 : 0;
    }
    return count;
}

void TestRunStatesXvfb::missedStopRerunAndUndo() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    MainWindow& window = f.window();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.session().settings().maxRunTime = 1;
    CompetitionTableView* view = window.tableView(0);
    const QString backup = window.session().backup()->backupPath();

    QVERIFY(f.run({"F5", "+1500"}));
    auto* warning = window.mainStatusBar()->findChild<QLabel*>(QStringLiteral("RunOverrun"));
    QVERIFY(warning);
    QTRY_COMPARE(warning->text(), QStringLiteral("Kein Stopp seit 1 s: F7 = Nicht im Ziel"));
    QVERIFY(warning->isVisible());
    // Whole: as wide as its text needs and inside the status bar.
    QVERIFY(warning->width() >= warning->minimumSizeHint().width());
    QVERIFY(window.mainStatusBar()->rect().contains(warning->geometry()));
    QVERIFY(pixelsOf(window.mainStatusBar(), 0xD00000) > 1000);
    keepScreenshot(window, QStringLiteral("runstates-warning"));

    QVERIFY(f.run({"F7"}));
    QCOMPARE(f.heatRow(1), QStringLiteral("11 DNF . . ."));
    QTRY_VERIFY(warning->isHidden());
    QVERIFY(pixelsOf(view->viewport(), CellPresentation::StateBackground) > 100);
    keepScreenshot(window, QStringLiteral("runstates-dnf"));
    const QByteArray withDnf = FileBytes::readFile(backup);

    // The operator picks the rider again and lets the run be repeated.
    const QModelIndex first = view->model()->index(0, StageTables::Heat::Name);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(first).center());
    QTRY_COMPARE(window.session().competition().heatStartList().selectedRow(), 1);
    f.answers().answer = true;
    // Keys through the window system, so the shortcuts are found as for the keyboard's.
    QTest::keyClick(window.windowHandle(), Qt::Key_R, Qt::ControlModifier);
    QTRY_COMPARE(f.heatRow(1), QStringLiteral("11 . . . ."));
    QCOMPARE(f.answers().questions.constLast(),
             QStringLiteral("Lauf 1 von Nr. 11 (DNF) wiederholen?"));
    QVERIFY(f.run({"F5", "+2345", "F8", "F9", "+0"}));
    QCOMPARE(f.heatRow(1), QStringLiteral("11 234 . . ."));
    keepScreenshot(window, QStringLiteral("runstates-rerun"));

    QTest::keyClick(window.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(f.heatRow(1), QStringLiteral("11 DNF . . ."));
    QCOMPARE(FileBytes::readFile(backup), withDnf);
    keepScreenshot(window, QStringLiteral("runstates-undone"));
}

QTEST_MAIN(TestRunStatesXvfb)
#include "tst_runstates_xvfb.moc"

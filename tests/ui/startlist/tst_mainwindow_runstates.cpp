#include "mock/FileBytes.h"
#include "mock/TimingWindowFixture.h"
#include "output/BackupWriter.h"
#include "session/RaceSession.h"
#include "ui/startlist/HistoryCommands.h"
#include "ui/stopwatch/RunOverrunWarning.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "widgets/ElidingLabel.h"

#include <QAction>
#include <QTest>

// F7 "Nicht im Ziel", the warning of a run without a stop, "Lauf wiederholen" and undo in the
// main window, on a clock the test moves by hand.
class TestMainWindowRunStates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void notFinishedAndWarning_data();
    void notFinishedAndWarning();
    void rerunThenUndoTwice();
};

void TestMainWindowRunStates::notFinishedAndWarning_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("row1");
    QTest::addColumn<int>("selected");

    const QString untouched = QStringLiteral("11 . . . .");
    const QString warning121 = QStringLiteral("Kein Stopp seit 121 s: F7 = Nicht im Ziel");
    QTest::newRow("within the limit") << QStringList{"F5", "+119990"} << "" << untouched << 1;
    QTest::newRow("past the limit") << QStringList{"F5", "+121500"} << warning121 << untouched << 1;
    QTest::newRow("F7 enters DNF and moves on") << QStringList{"F5", "+121500", "F7"} << ""
                                                << "11 DNF . . ." << 2;
    QTest::newRow("F7 while ready does nothing") << QStringList{"F7"} << "" << untouched << 1;
    QTest::newRow("F7 after the stop does nothing")
        << QStringList{"F5", "+3000", "F8", "F7"} << "" << untouched << 1;
}

void TestMainWindowRunStates::notFinishedAndWarning() {
    QFETCH(QStringList, steps);
    QFETCH(QString, warning);
    QFETCH(QString, row1);
    QFETCH(int, selected);
    TimingWindowFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run(steps));
    auto* overrun = f.window().findChild<RunOverrunWarning*>();
    QVERIFY(overrun);
    overrun->check();
    QCOMPARE(overrun->text(), warning);
    QCOMPARE(f.heatRow(1), row1);
    QCOMPARE(f.window().session().competition().heatStartList().selectedRow(), selected);
}

void TestMainWindowRunStates::rerunThenUndoTwice() {
    TimingWindowFixture f;
    f.addCompetitors(2);
    QVERIFY(f.run({"F5", "+10000", "F8", "F9", "+0"}));
    QCOMPARE(f.heatRow(1), QStringLiteral("11 1000 . . ."));
    const QString backup = f.window().session().backup()->backupPath();
    const QByteArray withFirstRun = FileBytes::readFile(backup);
    CompetitionTable& heat = f.window().session().competition().heatStartList();
    heat.setRow(1);
    f.answers().answer = true;
    QAction* rerun = f.window().actions().rerun;
    QTRY_VERIFY(rerun->isEnabled());
    rerun->trigger();
    QCoreApplication::processEvents(); // the operator's next key comes through the event loop
    QCOMPARE(f.answers().questions.constLast(),
             QStringLiteral("Lauf 1 von Nr. 11 (1000) wiederholen?"));
    QCOMPARE(f.heatRow(1), QStringLiteral("11 . . . ."));
    QCOMPARE(heat.selectedRow(), 1);
    const QByteArray emptied = FileBytes::readFile(backup);
    QVERIFY(f.run({"F5", "+777", "F8", "F9", "+0"}));
    QCOMPARE(f.heatRow(1), QStringLiteral("11 77 . . ."));

    auto* history = f.window().findChild<HistoryCommands*>();
    QVERIFY(history);
    QTRY_COMPARE(history->undoAction()->text(),
                 QStringLiteral("Rückgängig: Ergebnis 77 für Nr. 11 Name1"));
    QTest::keyClick(&f.window(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.heatRow(1), QStringLiteral("11 . . . ."));
    QVERIFY(f.window().mainStatusBar()->noticePanel()->text().contains(
        QStringLiteral("Rückgängig: Ergebnis 77 für Nr. 11 Name1")));
    QCOMPARE(FileBytes::readFile(backup), emptied);
    QTRY_COMPARE(history->undoAction()->text(),
                 QStringLiteral("Rückgängig: Lauf wiederholen für Nr. 11"));
    QTest::keyClick(&f.window(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.heatRow(1), QStringLiteral("11 1000 . . ."));
    QCOMPARE(FileBytes::readFile(backup), withFirstRun);
    QTest::keyClick(&f.window(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.heatRow(1), QStringLiteral("11 . . . ."));
}

QTEST_MAIN(TestMainWindowRunStates)
#include "tst_mainwindow_runstates.moc"

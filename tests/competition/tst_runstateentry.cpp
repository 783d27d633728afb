#include "competition/Competition.h"
#include "competition/RunStateEntry.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"

#include <QTest>

// States entered into the next free run of the shown stage, and the last run taken back.
class TstRunStateEntry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void enterAndRepeat_data();
    void enterAndRepeat();
};

using namespace StageTables;

void TstRunStateEntry::enterAndRepeat_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("runs"); // Zeit1 .. Zeit5 of competitor 7 before
    QTest::addColumn<QString>("command");  // "DNS", "DNF", "DSQ" or "rerun"
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("after"); // Zeit1 .. Zeit5 after

    using O = RunStateEntry::Outcome;
    const QStringList none{"", "", "", "", ""};
    QTest::newRow("first heat run")
        << 0 << none << "DNS" << int(O::Written) << QStringList{"DNS", "", "", "", ""};
    QTest::newRow("after a time, over an eliminated cell")
        << 0 << QStringList{"10,00", "-", "", "", ""} << "DNF" << int(O::Written)
        << QStringList{"10,00", "DNF", "", "", ""};
    QTest::newRow("heats full, no new row")
        << 0 << QStringList{"1", "2", "DNS", "", ""} << "DSQ" << int(O::NoFreeRun)
        << QStringList{"1", "2", "DNS", "", ""};
    QTest::newRow("final run on the final start list")
        << 2 << QStringList{"1", "2", "3", "9,00", ""} << "DNF" << int(O::Written)
        << QStringList{"1", "2", "3", "9,00", "DNF"};
    QTest::newRow("rerun empties the last heat run")
        << 0 << QStringList{"10,00", "DNF", "", "", ""} << "rerun" << int(O::Written)
        << QStringList{"10,00", "", "", "", ""};
    QTest::newRow("rerun of a final run leaves the heats")
        << 2 << QStringList{"1", "2", "3", "9,00", ""} << "rerun" << int(O::Written)
        << QStringList{"1", "2", "3", "", ""};
    QTest::newRow("rerun without a run")
        << 0 << QStringList{"-", "", "", "", ""} << "rerun" << int(O::NoEnteredRun)
        << QStringList{"-", "", "", "", ""};
}

void TstRunStateEntry::enterAndRepeat() {
    QFETCH(int, page);
    QFETCH(QStringList, runs);
    QFETCH(QString, command);
    QFETCH(int, outcome);
    QFETCH(QStringList, after);
    Competition c(TimeFormat(1, u','));
    c.heatStartList().setRowCells(1, QStringList{"3", "A", "B", "C", "1", ""} +
                                         QStringList{"5", "5", "5", "", ""});
    c.heatStartList().appendRow(QStringList{"7", "D", "E", "F", "1", ""} + runs);
    c.heatStartList().setRow(2);
    StageDerivation(c).deriveAll();
    if (page == 2) {
        const int row = c.finalStartList().findRow(FinalStart::Nr, "7");
        QVERIFY(row > 0);
        c.finalStartList().setRow(row);
    }
    const auto result = command == "rerun"
                            ? RunStateEntry::repeatRun(c, page)
                            : RunStateEntry::enterState(c, page, *RunState::fromText(command));
    QCOMPARE(int(result), outcome);
    QCOMPARE(c.heatStartList().rowCells(2).mid(Heat::Zeit1), after);
    QCOMPARE(c.heatStartList().rowsWithHeader(), 3);
    QCOMPARE(c.heatStartList().selectedRow(), 2);
    if (page == 2) {
        const int row = c.finalStartList().selectedRow();
        QCOMPARE(c.finalStartList().cell(FinalStart::Zeit4, row), after[3]);
        QCOMPARE(c.finalStartList().cell(FinalStart::Zeit5, row), after[4]);
    }
}

QTEST_GUILESS_MAIN(TstRunStateEntry)
#include "tst_runstateentry.moc"

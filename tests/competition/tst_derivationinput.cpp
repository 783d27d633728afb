#include "competition/Competition.h"
#include "competition/StageDerivation.h"
#include "mock/HeatStartListBuilder.h"

#include <QElapsedTimer>
#include <QTest>

// Stage derivation on input it was not made for: odd classes, absurd times, broken and
// very large tables.
class TstDerivationInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void classesOutsideOneToFour();
    void rowWithoutNumber_data();
    void rowWithoutNumber();
    void hugeAndGarbageTimes();
    void missingColumns();
    void tenThousandRows();
    void tenThousandErrorRows();
};

using namespace HeatStartListBuilder;

void TstDerivationInput::classesOutsideOneToFour() {
    Competition c;
    addRunner(c, 1, "x", 1000, {}, {"900", "900"});
    addRunner(c, 2, "2", 1100, {}, {"900", "900"});
    addRunner(c, 3, "0", 900, {}, {"900", "900"});
    addRunner(c, 4, "12", 800, {}, {"900", "900"});
    addRunner(c, 5, "", 700, {}, {"900", "900"});
    addRunner(c, 6, "x", 950, {}, {"900", "900"});
    addRunner(c, 7, "1a", 960, {}, {"900", "900"});
    addRunner(c, 8, "1", 970, {}, {"900", "900"});
    addRunner(c, 9, "02", 1050, {}, {"900", "900"});
    StageDerivation(c).deriveAll();
    const CompetitionTable& results = c.heatResults();
    // Whole-number classes first by number, then the other texts by their bytes.
    QCOMPARE(dataColumn(results, 5), QStringList({"0", "1", "02", "2", "12", "", "1a", "x", "x"}));
    QCOMPARE(dataColumn(results, 1), QStringList({"3", "8", "9", "2", "4", "5", "7", "6", "1"}));
    QCOMPARE(dataColumn(results, 0), QStringList({"1", "1", "1", "2", "1", "1", "1", "1", "2"}));
    QCOMPARE(c.stageMessage(1), QString());
    // Only the classes 1 to 4 reach the final.
    QCOMPARE(dataColumn(c.finalStartList(), 0), QStringList({"8", "2", "9"}));
    QCOMPARE(dataColumn(c.finalResults(), 1), QStringList({"8", "9", "2"}));
    QCOMPARE(dataColumn(c.finalResults(), 0), QStringList({"1", "1", "2"}));

    // Nobody in the classes 1 to 4: no final at all.
    Competition others;
    addRunner(others, 1, "x", 1000, {}, {"900", "900"});
    addRunner(others, 2, "0", 1000, {}, {"900", "900"});
    addRunner(others, 3, "12", 1000, {}, {"900", "900"});
    StageDerivation(others).deriveAll();
    QCOMPARE(others.heatResults().rowsWithHeader(), 4);
    QVERIFY(others.finalStartList().isRowEmpty(1));
    QCOMPARE(others.finalStartList().rowsWithHeader(), 2);
    QVERIFY(others.finalResults().isRowEmpty(1));
}

void TstDerivationInput::rowWithoutNumber_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("run");
    QTest::addColumn<QStringList>("otherErrors");
    QTest::addColumn<QString>("message");
    // The row without a number is the fastest of class 1, so ranked it would come first.
    QTest::newRow("empty, fastest") << "" << 500 << QStringList{} << "Es sind 1" + Message;
    QTest::newRow("blanks, fastest") << "  " << 500 << QStringList{} << "Es sind 1" + Message;
    QTest::newRow("empty, slowest") << "" << 5000 << QStringList{} << "Es sind 1" + Message;
    QTest::newRow("with a missing run too")
        << "" << 500 << QStringList{"9"} << "Es sind 2" + Message;
}

void TstDerivationInput::rowWithoutNumber() {
    QFETCH(QString, number);
    QFETCH(int, run);
    QFETCH(QStringList, otherErrors);
    QFETCH(QString, message);
    Competition c;
    addRunner(c, 1, "1", 1000, {}, {"900", "900"});
    add(c, {number, "Ohne", "Nummer", "SV", "1", "", QString::number(run), QString::number(run),
            QString::number(run), "900", "900"});
    addRunner(c, 2, "1", 1100, {}, {"900", "910"});
    addRunner(c, 3, "2", 1200, {}, {"900", "900"});
    for (const QString& nr : otherErrors)
        add(c, {nr, "Fehlt", "", "", "2", "", "1000", "", "1000"});
    StageDerivation(c).deriveAll();
    QCOMPARE(dataColumn(c.heatResults(), 1), QStringList({"1", "2", "3"}));
    QCOMPARE(c.stageMessage(1), message);
    QCOMPARE(dataColumn(c.finalStartList(), 0), QStringList({"2", "1", "3"}));
    QCOMPARE(dataColumn(c.finalResults(), 1), QStringList({"1", "2", "3"}));
}

void TstDerivationInput::hugeAndGarbageTimes() {
    Competition c;
    add(c, {"1", "A", "", "", "1", "", "2147483647", "2147483647", "2147483647"});
    add(c, {"2", "B", "", "", "1", "", "99999999999999999999", "1000", "1000"});
    add(c, {"3", "C", "", "", "1", "", "1e3", "1000", "1000"});
    add(c, {"4", "D", "", "", "1", "", "\t1000 ", "1000", "1000", "2147483647", "1"});
    add(c, {"5", "E", "", "", "1", "", "1073741823", "1073741823", "1073741823"});
    add(c, {"6", "F", "", "", "1", "", "1000", "1000", "1000", "x", "\x01"});
    StageDerivation(c).deriveAll();
    // The sum of two largest times leaves the 32-bit range: counted as an error.
    QCOMPARE(dataColumn(c.heatResults(), 1), QStringList({"4", "6", "5"}));
    QCOMPARE(c.heatResults().cell(9, 3), QStringLiteral("2147483646"));
    QCOMPARE(c.stageMessage(1), QStringLiteral("Es sind 3") + Message);
    QCOMPARE(dataColumn(c.finalStartList(), 0), QStringList({"5", "4", "6"}));
    // G-Zeit + runs beyond 32 bits, or an unreadable run: no final result.
    QVERIFY(c.finalResults().isRowEmpty(1));
}

void TstDerivationInput::missingColumns() {
    Competition c;
    // A heat start list that lost columns (a broken file) still derives without a crash.
    c.heatStartList().setColumns(5);
    add(c, {"1", "A", "B", "C", "1"});
    StageDerivation(c).deriveAll();
    QCOMPARE(c.stageMessage(1), QStringLiteral("Es sind 1") + Message);
    QVERIFY(c.heatResults().isRowEmpty(1));
    QVERIFY(c.finalStartList().isRowEmpty(1));
}

void TstDerivationInput::tenThousandRows() {
    Competition c;
    CompetitionTable& heat = c.heatStartList();
    heat.setRowsWithHeader(10001);
    for (int r = 1; r <= 10000; ++r) {
        const QString t = QString::number(700 + (r * 7919) % 1000);
        heat.setRowCells(r, {QString::number(r), "N", "V", QString::number(r % 500),
                             QString::number(r % 4 + 1), r % 49 == 0 ? "+" : "", t, t, t, t, t});
    }
    QElapsedTimer timer;
    timer.start();
    StageDerivation(c).deriveAll();
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(c.heatResults().rowsWithHeader(), 10001);
    QCOMPARE(c.finalStartList().rowsWithHeader(), 41);
    QCOMPARE(c.finalResults().rowsWithHeader(), 41);
    QCOMPARE(c.stageMessage(1), QString());
    // Every class holds 2500 rows; the champions (every 49th) fill each class's finalists.
    QCOMPARE(dataColumn(c.finalStartList(), 5).count("+"), 40);
    QCOMPARE(c.teams().rowsWithHeader(), 501);
    QVERIFY(!c.teams().cell(0, 500).isEmpty());
}

void TstDerivationInput::tenThousandErrorRows() {
    Competition c;
    CompetitionTable& heat = c.heatStartList();
    heat.setRowsWithHeader(10001);
    for (int r = 1; r <= 10000; ++r)
        heat.setRowCells(r, {QString::number(r), "N", "V", "C", "1", "", "1000", "-", "1000"});
    QElapsedTimer timer;
    timer.start();
    StageDerivation(c).deriveAll();
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(c.stageMessage(1), QStringLiteral("Es sind 10000") + Message);
    QCOMPARE(c.heatResults().rowsWithHeader(), 2);
    QVERIFY(c.heatResults().isRowEmpty(1));
    QVERIFY(c.teams().isRowEmpty(1));
}

QTEST_GUILESS_MAIN(TstDerivationInput)
#include "tst_derivationinput.moc"

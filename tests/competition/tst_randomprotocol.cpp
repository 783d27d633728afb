#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

// The random number generator and the random demonstration protocol.
class TstRandomProtocol : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void generatorSequence();
    void generatorRange();
    void firstProtocolIsFixed();
    void firstProtocolIsAlwaysTheSame();
    void twoGenerationsDiffer();
    void replacesWholeStartList_data();
    void replacesWholeStartList();
    void cellValues();
    void timesFollowFormat_data();
    void timesFollowFormat();
    void everyCompetitorInHeatResults();
    void finalLimits();
    void selectsFirstRows();
    void sortsWhenHeaderSortIsOn();
    void derivesEveryStage();
    void largerStartLists();
};

namespace {

QStringList dataColumn(const CompetitionTable& grid, int col) {
    return grid.column(col).mid(1);
}

} // namespace

void TstRandomProtocol::generatorSequence() {
    // Values of the same generator worked out independently.
    RandomGenerator rng;
    QCOMPARE(rng.state(), 0u);
    QList<int> draws;
    for (int i = 0; i < 5; ++i)
        draws.append(rng.random(10));
    QCOMPARE(draws, QList<int>({0, 0, 8, 2, 2}));
    QCOMPARE(rng.random(1), 0);
    QCOMPARE(rng.random(1), 0);
    QCOMPARE(rng.random(2147483647), 347453115);
}

void TstRandomProtocol::generatorRange() {
    RandomGenerator rng(12345);
    const quint32 before = rng.state();
    QCOMPARE(rng.random(0), 0);
    QCOMPARE(rng.random(-3), 0);
    QCOMPARE(rng.state(), before);
    QList<int> seen(7, 0);
    for (int i = 0; i < 7000; ++i) {
        const int value = rng.random(7);
        QVERIFY(value >= 0 && value < 7);
        ++seen[value];
    }
    for (int count : seen)
        QVERIFY(count > 800);
}

void TstRandomProtocol::firstProtocolIsFixed() {
    Competition c;
    RandomGenerator rng;
    StageDerivation derivation(c);
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    const CompetitionTable& heat = c.heatStartList();
    QCOMPARE(heat.rowCells(1), QStringList({"1", "WÄ", "RIEÜ", "CMBVBÜ", "4", "", "1474", "1027",
                                            "1397", "1544", "1417"}));
    QCOMPARE(heat.rowCells(2), QStringList({"307", "IMÄ", "HMDWHUZMXß", "DÄ", "3", "+", "1292",
                                            "709", "1474", "1350", "1470"}));
    QCOMPARE(heat.rowCells(100), QStringList({"836", "KXSß", "JÜ", "GNSSTPNSGÄ", "2", "", "1527",
                                              "1322", "804", "941", "1389"}));
    QCOMPARE(rng.state(), 2961503330u);
}

void TstRandomProtocol::firstProtocolIsAlwaysTheSame() {
    Competition first;
    Competition second(TimeFormat(0, u'.'));
    RandomGenerator a;
    RandomGenerator b;
    StageDerivation da(first);
    StageDerivation db(second);
    second.heatStartList().setRowsWithHeader(300);
    RandomProtocol::generateRandomProtocol(first, a, da);
    RandomProtocol::generateRandomProtocol(second, b, db);
    for (int r = 0; r < first.heatStartList().rowsWithHeader(); ++r)
        QCOMPARE(first.heatStartList().rowCells(r), second.heatStartList().rowCells(r));
    QCOMPARE(first.finalResults().column(1), second.finalResults().column(1));
}

void TstRandomProtocol::twoGenerationsDiffer() {
    Competition c;
    RandomGenerator rng;
    StageDerivation derivation(c);
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    const QList<QStringList> first{dataColumn(c.heatStartList(), 0),
                                   dataColumn(c.heatStartList(), 1),
                                   dataColumn(c.heatStartList(), 6)};
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    QVERIFY(dataColumn(c.heatStartList(), 0) != first[0]);
    QVERIFY(dataColumn(c.heatStartList(), 1) != first[1]);
    QVERIFY(dataColumn(c.heatStartList(), 6) != first[2]);
    QCOMPARE(c.heatStartList().rowsWithHeader(), 101);
}

void TstRandomProtocol::replacesWholeStartList_data() {
    QTest::addColumn<int>("rowsBefore");
    QTest::newRow("empty") << 2;
    QTest::newRow("fewer") << 40;
    QTest::newRow("same") << 101;
    QTest::newRow("more") << 500;
}

void TstRandomProtocol::replacesWholeStartList() {
    QFETCH(int, rowsBefore);
    Competition c;
    CompetitionTable& heat = c.heatStartList();
    heat.setRowsWithHeader(rowsBefore);
    for (int r = 1; r < rowsBefore; ++r) {
        for (int col = 0; col < heat.columns(); ++col)
            heat.setCell(col, r, QStringLiteral("OLD"));
    }
    const QStringList header = heat.rowCells(0);
    RandomGenerator rng;
    StageDerivation derivation(c);
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    QCOMPARE(heat.rowsWithHeader(), 101);
    QCOMPARE(heat.rowCells(0), header);
    for (int r = 1; r <= 100; ++r)
        QVERIFY(!heat.rowCells(r).contains(QStringLiteral("OLD")));
}

void TstRandomProtocol::cellValues() {
    Competition c;
    RandomGenerator rng;
    StageDerivation derivation(c);
    const QRegularExpression word(QStringLiteral("^[A-Z]{1,10}[ÄÜÖß]$"));
    QList<int> wordLengths(12, 0);
    int champions = 0;
    for (int round = 0; round < 5; ++round) {
        RandomProtocol::generateRandomProtocol(c, rng, derivation);
        const CompetitionTable& heat = c.heatStartList();
        for (int r = 1; r <= 100; ++r) {
            const int nr = heat.cell(0, r).toInt();
            QVERIFY(nr >= 1 && nr <= 999);
            for (int col = 1; col <= 3; ++col) {
                const QString text = heat.cell(col, r);
                QVERIFY2(word.match(text).hasMatch(), qPrintable(text));
                ++wordLengths[text.size()];
            }
            const int cls = heat.cell(4, r).toInt();
            QVERIFY(cls >= 1 && cls <= 4);
            const QString mark = heat.cell(5, r);
            QVERIFY(mark.isEmpty() || mark == QStringLiteral("+"));
            champions += mark.isEmpty() ? 0 : 1;
        }
    }
    // Every length from 2 to 11 characters occurs; about a quarter are champions.
    for (int length = 2; length <= 11; ++length)
        QVERIFY(wordLengths[length] > 0);
    QVERIFY(champions > 75 && champions < 175);
}

void TstRandomProtocol::timesFollowFormat_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("hundredths") << 0 << QChar(u',') << "^\\d{3,4}$";
    QTest::newRow("seconds comma") << 1 << QChar(u',') << "^\\d{1,2},\\d\\d$";
    QTest::newRow("seconds point") << 1 << QChar(u'.') << "^\\d{1,2}\\.\\d\\d$";
}

void TstRandomProtocol::timesFollowFormat() {
    QFETCH(int, setting);
    QFETCH(QChar, separator);
    QFETCH(QString, pattern);
    Competition c(TimeFormat(setting, separator));
    RandomGenerator rng;
    StageDerivation derivation(c);
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    const QRegularExpression shape(pattern);
    const CompetitionTable& heat = c.heatStartList();
    for (int r = 1; r <= 100; ++r) {
        for (int col = 6; col <= 10; ++col) {
            const QString text = heat.cell(col, r);
            QVERIFY2(shape.match(text).hasMatch(), qPrintable(text));
            const qint32 value = c.timeFormat().ParseTime(text);
            QVERIFY(value >= 700 && value <= 1699);
        }
    }
    QCOMPARE(heat.cell(6, 1), c.timeFormat().formatTime(1474));
}

void TstRandomProtocol::everyCompetitorInHeatResults() {
    Competition c(TimeFormat(1, u','));
    RandomGenerator rng;
    StageDerivation derivation(c);
    QSignalSpy stages(&derivation, &StageDerivation::stageDerived);
    for (int round = 0; round < 3; ++round) {
        RandomProtocol::generateRandomProtocol(c, rng, derivation);
        QCOMPARE(c.heatResults().rowsWithHeader(), 101);
        QCOMPARE(c.stageMessage(1), QString());
        QStringList numbers = dataColumn(c.heatResults(), 1);
        QStringList expected = dataColumn(c.heatStartList(), 0);
        numbers.sort();
        expected.sort();
        QCOMPARE(numbers, expected);
    }
    QCOMPARE(stages.count(), 9);
}

void TstRandomProtocol::finalLimits() {
    Competition c;
    RandomGenerator rng;
    StageDerivation derivation(c);
    for (int round = 0; round < 10; ++round) {
        RandomProtocol::generateRandomProtocol(c, rng, derivation);
        const QStringList classes = dataColumn(c.finalStartList(), 4);
        QVERIFY(classes.size() <= 40);
        for (const QString cls : {"1", "2", "3", "4"}) {
            const int inHeats = static_cast<int>(dataColumn(c.heatResults(), 5).count(cls));
            QCOMPARE(static_cast<int>(classes.count(cls)), qMin(10, inHeats));
        }
        // Every finalist has both final runs, so all reach the final results.
        QCOMPARE(c.finalResults().rowsWithHeader(), c.finalStartList().rowsWithHeader());
    }
}

void TstRandomProtocol::selectsFirstRows() {
    Competition c;
    RandomGenerator rng;
    StageDerivation derivation(c);
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    for (int page = 0; page < 4; ++page)
        c.stageTable(page).setRow(7);
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    for (int page = 0; page < 4; ++page)
        QCOMPARE(c.stageTable(page).selectedRow(), 1);
}

void TstRandomProtocol::sortsWhenHeaderSortIsOn() {
    Competition c;
    CompetitionTable& heat = c.heatStartList();
    heat.sortOptions().canSort = true;
    heat.sortOptions().column = 0;
    RandomGenerator rng;
    StageDerivation derivation(c);
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    for (int r = 2; r <= 100; ++r)
        QVERIFY(heat.cell(0, r - 1).toInt() <= heat.cell(0, r).toInt());

    // Switched off (the list is not being edited): the generated order stays.
    Competition unsorted;
    RandomGenerator again;
    StageDerivation other(unsorted);
    unsorted.heatStartList().sortOptions().column = 0;
    RandomProtocol::generateRandomProtocol(unsorted, again, other);
    QCOMPARE(unsorted.heatStartList().cell(0, 2), QStringLiteral("307"));
}

void TstRandomProtocol::derivesEveryStage() {
    Competition c;
    RandomGenerator rng;
    StageDerivation derivation(c);
    RandomProtocol::generateRandomProtocol(c, rng, derivation);
    QVERIFY(c.heatResults().hasData());
    QVERIFY(c.finalStartList().hasData());
    QVERIFY(c.finalResults().hasData());
    QCOMPARE(c.finalResults().cell(0, 1), QStringLiteral("1"));
    // Random club names hardly ever repeat three times: the team table has a row per club.
    QVERIFY(c.teams().rowsWithHeader() > 2);
}

void TstRandomProtocol::largerStartLists() {
    Competition c;
    RandomGenerator rng;
    RandomProtocol::fillRandomStartList(c, rng, 1000);
    QCOMPARE(c.heatStartList().rowsWithHeader(), 1001);
    RandomProtocol::fillRandomStartList(c, rng, 0);
    QCOMPARE(c.heatStartList().rowsWithHeader(), 2);
    QVERIFY(!c.heatStartList().isRowEmpty(1));
}

QTEST_GUILESS_MAIN(TstRandomProtocol)
#include "tst_randomprotocol.moc"

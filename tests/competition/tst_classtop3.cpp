#include "competition/ClassTop3.h"
#include "competition/Competition.h"
#include "competition/StageTables.h"

#include <QTest>

// Which finishers of the final results stand in the top three of their class.
class TstClassTop3 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blocks_data();
    void blocks();
    void entryCarriesTheRow();
};

namespace {

// Rows "place/class" in table order; row r gets start number r.
void fill(CompetitionTable& grid, const QStringList& rows) {
    using namespace StageTables::FinalRes;
    grid.setRowsWithHeader(static_cast<int>(rows.size()) + 1);
    for (int r = 1; r <= rows.size(); ++r) {
        const QStringList parts = rows[r - 1].split(u'/');
        grid.setCell(Pl, r, parts.value(0));
        grid.setCell(Nr, r, QString::number(r));
        grid.setCell(Kl, r, parts.value(1));
    }
}

// "class:slot=nr,slot=nr;class:..." for comparison.
QString describe(const QList<ClassTop3>& blocks) {
    QStringList out;
    for (const ClassTop3& b : blocks) {
        QStringList entries;
        for (const ClassTop3::Entry& e : b.entries)
            entries << QStringLiteral("%1=%2").arg(e.slot).arg(e.number);
        out << b.className + u':' + entries.join(u',');
    }
    return out.join(u';');
}

} // namespace

void TstClassTop3::blocks_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("maxClasses");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty table") << QStringList{} << 4 << QString();
    QTest::newRow("one class of four")
        << QStringList{"1/1", "2/1", "3/1", "4/1"} << 4 << "1:0=1,1=2,2=3";
    QTest::newRow("class with two finishers")
        << QStringList{"1/1", "2/1", "1/2", "2/2", "3/2"} << 4 << "1:0=1,1=2;2:0=3,1=4,2=5";
    QTest::newRow("class 4 after a class without finishers")
        << QStringList{"1/1", "2/1", "1/2", "1/4", "2/4"} << 4 << "1:0=1,1=2;2:0=3;4:0=4,1=5";
    QTest::newRow("five classes show four")
        << QStringList{"1/1", "1/2", "1/3", "1/4", "1/5"} << 4 << "1:0=1;2:0=2;3:0=3;4:0=4";
    QTest::newRow("no class 1: class 2 comes first")
        << QStringList{"1/2", "2/2"} << 4 << "2:0=1,1=2";
    QTest::newRow("placeless finalist with a state is left out")
        << QStringList{"1/1", "/2", "1/2"} << 4 << "1:0=1;2:0=3";
    QTest::newRow("unsorted rows still go to their class")
        << QStringList{"1/1", "1/2", "2/1", "2/2"} << 4 << "1:0=1,1=3;2:0=2,1=4";
    QTest::newRow("limit of two classes") << QStringList{"1/1", "1/2", "1/3"} << 2 << "1:0=1;2:0=2";
}

void TstClassTop3::blocks() {
    QFETCH(QStringList, rows);
    QFETCH(int, maxClasses);
    QFETCH(QString, expected);
    Competition c;
    fill(c.finalResults(), rows);
    QCOMPARE(describe(ClassTop3::collect(c.finalResults(), maxClasses)), expected);
}

void TstClassTop3::entryCarriesTheRow() {
    Competition c;
    c.finalResults().setRowsWithHeader(2);
    c.finalResults().setRowCells(
        1, {"1", "17", "Muster", "Max", "SV Nord", "1", "+", "20,00", "10,00", "10,50", "40,50"});
    const QList<ClassTop3> blocks = ClassTop3::collect(c.finalResults());
    QCOMPARE(blocks.size(), 1);
    const ClassTop3::Entry& e = blocks[0].entries.at(0);
    QCOMPARE(QStringList(
                 {e.place, e.number, e.name, e.firstName, e.club, e.className, e.champion, e.time}),
             QStringList({"1", "17", "Muster", "Max", "SV Nord", "1", "+", "40,50"}));
}

QTEST_GUILESS_MAIN(TstClassTop3)
#include "tst_classtop3.moc"

#include "cup/CupStandings.h"
#include "cup/NextRaceStartOrder.h"

#include <QtTest>

namespace {

const QStringList kHeader{"Nr.",   "Name",  "Vorname", "Verein/Ort", "Kl.",  "Meister",
                          "Zeit1", "Zeit2", "Zeit3",   "Zeit4",      "Zeit5"};

CupStandings::Row row(int place, const QString& name, const QString& cls) {
    CupStandings::Row row;
    row.place = place;
    row.identity = CupIdentity{name, QStringLiteral("Max"), QStringLiteral("TSV")};
    row.cls = cls;
    return row;
}

} // namespace

class TestNextRaceStartOrder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startOrder_data();
    void startOrder();
};

void TestNextRaceStartOrder::startOrder_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");
    auto cells = [](const char* number, const char* name, const char* cls) {
        return QStringList{number, name, "Max", "TSV", cls, "", "", "", "", "", ""};
    };
    QTest::newRow("header") << 0 << kHeader;
    QTest::newRow("class 1: too few starts first") << 1 << cells("1", "Christ", "1");
    QTest::newRow("class 1: second") << 2 << cells("2", "Berg", "1");
    QTest::newRow("class 1: leader last") << 3 << cells("3", "Adam", "1");
    QTest::newRow("class 2: unranked") << 4 << cells("4", "Frank", "2");
    QTest::newRow("class 2: shared first, listed second") << 5 << cells("5", "Eder", "2");
    QTest::newRow("class 2: shared first, listed first") << 6 << cells("6", "Dorn", "2");
}

void TestNextRaceStartOrder::startOrder() {
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    CupStandings standings;
    CupStandings::ClassTable first;
    first.cls = QStringLiteral("1");
    first.rows = {::row(1, "Adam", "1"), ::row(2, "Berg", "1"), ::row(0, "Christ", "1")};
    CupStandings::ClassTable second;
    second.cls = QStringLiteral("2");
    second.rows = {::row(1, "Dorn", "2"), ::row(1, "Eder", "2"), ::row(0, "Frank", "2")};
    standings.classes = {first, second};
    const QList<QStringList> rows = NextRaceStartOrder::rows(standings, kHeader);
    QCOMPARE(rows.size(), 7);
    QCOMPARE(rows.at(row), cells);
}

QTEST_GUILESS_MAIN(TestNextRaceStartOrder)
#include "tst_nextracestartorder.moc"

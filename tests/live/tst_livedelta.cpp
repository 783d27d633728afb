#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"
#include "live/LiveSnapshotBuilder.h"
#include "live/LiveSnapshotDelta.h"
#include "live/LiveStateDocument.h"
#include "live/LiveTableDelta.h"
#include "mock/FakeTickSource.h"
#include "mock/LiveStateMirror.h"
#include "timing/RunClock.h"

#include <QJsonDocument>
#include <QTest>
#include <functional>

using Table = LiveSnapshot::Table;
using Change = std::function<void(Table&)>;
Q_DECLARE_METATYPE(Change)

namespace {

Table numbered(int rows) {
    Table table;
    table.caption = QStringLiteral("Vorlauf-Ergebnisse");
    table.header = {"Pl.", "Nr.", "Name", "Kl.", "G-Zeit"};
    for (int i = 1; i <= rows; ++i)
        table.rows.append({QString::number(i), QString::number(100 + i),
                           QStringLiteral("N%1").arg(i), QString::number(1 + i % 4),
                           QString::number(5000 + i)});
    return table;
}

qsizetype sizeOf(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).size();
}

} // namespace

// The changes the event stream carries: applied to the state a page holds they give the new
// state, and a run's change is small however large the tables are.
class TestLiveDelta : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tableChange_data();
    void tableChange();
    void randomCompetitionsInSequence();
};

void TestLiveDelta::tableChange_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("atMostBytes");
    QTest::newRow("one time entered") << Change([](Table& t) { t.rows[400][4] = "4999"; }) << 80;
    QTest::newRow("a result moves up, places shift") << Change([](Table& t) {
        t.rows.move(700, 3);
        for (int i = 3; i <= 700; ++i)
            t.rows[i][0] = QString::number(i + 1);
    }) << 5000;
    QTest::newRow("a competitor added") << Change([](Table& t) {
        t.rows.insert(10, {"11", "999", "Neu", "2", "5555"});
    }) << 160;
    QTest::newRow("a competitor removed") << Change([](Table& t) { t.rows.removeAt(500); }) << 40;
    QTest::newRow("a start number given twice") << Change([](Table& t) {
        t.rows[5][1] = t.rows[6][1];
        t.rows.swapItemsAt(5, 6);
    }) << 120;
    QTest::newRow("rows without a number") << Change([](Table& t) {
        t.rows[1][1].clear();
        t.rows[2][1].clear();
        t.rows[2][2] = "X";
    }) << 200;
    QTest::newRow("a time becomes a substitute")
        << Change([](Table& t) { t.marks[400][4] = "substitute"; }) << 60;
    QTest::newRow("a disqualified row moves to the end") << Change([](Table& t) {
        t.rows[3][4] = "DSQ";
        t.rows.move(3, 999);
        t.marks[999][4] = "DSQ";
    }) << 200;
    QTest::newRow("header changed") << Change([](Table& t) { t.header[4] = "Endzeit"; }) << 60;
    QTest::newRow("all new") << Change([](Table& t) { t = numbered(3); }) << 100000;
}

void TestLiveDelta::tableChange() {
    QFETCH(Change, change);
    QFETCH(int, atMostBytes);
    const Table before = numbered(1000);
    Table after = before;
    change(after);
    const QJsonObject delta = LiveTableDelta::between(before, after);
    QCOMPARE(LiveStateMirror::appliedToTable(LiveStateDocument::tableJson(before), delta),
             LiveStateDocument::tableJson(after));
    QVERIFY2(sizeOf(delta) <= atMostBytes, qPrintable(QString::number(sizeOf(delta))));
}

void TestLiveDelta::randomCompetitionsInSequence() {
    FakeTickSource ticks(1'000'000);
    RunClock clock(ticks);
    LiveSnapshot before;
    QJsonObject held = LiveStateDocument::toJson(before);
    for (quint32 seed = 1; seed <= 6; ++seed) {
        Competition competition;
        StageDerivation derivation(competition);
        RandomGenerator random(seed);
        RandomProtocol::generateRandomProtocol(competition, random, derivation);
        LiveSnapshotBuilder::WindowTexts texts;
        texts.title = QStringLiteral("Lauf %1").arg(seed);
        const LiveSnapshot after = LiveSnapshotBuilder::build(competition, clock, texts);
        held = LiveStateMirror::applied(held, LiveSnapshotDelta::between(before, after));
        QCOMPARE(held, LiveStateDocument::toJson(after));
        before = after;
    }
    // Nothing changed, nothing to send.
    QVERIFY(LiveSnapshotDelta::between(before, before).isEmpty());
}

QTEST_GUILESS_MAIN(TestLiveDelta)
#include "tst_livedelta.moc"

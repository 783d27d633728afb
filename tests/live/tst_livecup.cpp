#include "cup/CupSample.h"
#include "live/LivePageRenderer.h"
#include "live/LivePublishing.h"
#include "live/LiveSnapshotDelta.h"
#include "live/LiveStateDocument.h"
#include "mock/FreePort.h"
#include "mock/LiveHttpClient.h"
#include "mock/SessionFixture.h"
#include "session/LiveCupTables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

// The "Cup" tab of the live pages: the tables the standings give, the state and the page that
// carry them while a cup is open, and no cup at all while none is.
class TestLiveCup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tables_data();
    void tables();
    void servedWhileOpenAndGoneWhenClosed();
};

void TestLiveCup::tables_data() {
    QTest::addColumn<int>("scoring");
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    const int points = int(CupRules::Scoring::PointsTable);
    QTest::newRow("captions") << points << 0 << -1
                              << CupSample::cells("Pl.;Name;Verein;Punkte;Abstand");
    QTest::newRow("leader") << points << 0 << 0
                            << CupSample::cells("1;Müller Jörg;SV Süd & Co;180;");
    QTest::newRow("gap") << points << 0 << 1 << CupSample::cells("2;Huber Max;TSV <Nord>;160;20");
    QTest::newRow("unranked") << points << 0 << 2 << CupSample::cells(";Kurz Eva;;60;");
    QTest::newRow("fraction") << points << 1 << 0 << CupSample::cells("1;Lang Udo;WSV;50,50;");
    QTest::newRow("times") << int(CupRules::Scoring::TimeSum) << 0 << 1
                           << CupSample::cells("2;Huber Max;TSV <Nord>;160,00;20,00");
}

void TestLiveCup::tables() {
    QFETCH(int, scoring);
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    const LiveSnapshot::Cup cup = LiveCupTables::build(CupSample::standings(), "Winter-Cup",
                                                       static_cast<CupRules::Scoring>(scoring));
    QCOMPARE(cup.classes.size(), 2);
    QCOMPARE(cup.classes.at(1).caption, QStringLiteral("Klasse 4"));
    const LiveSnapshot::Table& shown = cup.classes.at(table);
    QCOMPARE(row < 0 ? shown.header : shown.rows.value(row), expected);
}

void TestLiveCup::servedWhileOpenAndGoneWhenClosed() {
    SessionFixture f;
    LivePublishing& live = f.session().live();
    const quint16 port = freeListenPort();
    f.session().settings().livePort = port;
    live.setListenAddress(QHostAddress::LocalHost);
    live.setLive(true);
    QVERIFY(QTest::qWaitFor([&live] { return live.isRunning(); }, 5000));
    LiveHttpClient client(port);
    const auto served = [&client] {
        const QByteArray body = client.get(QStringLiteral("/api/state.json")).body;
        return QJsonDocument::fromJson(body).object()[QStringLiteral("state")].toObject();
    };
    QVERIFY(served().value(QStringLiteral("cup")).isNull());
    const LiveSnapshot before = live.snapshot();
    live.setCup(LiveCupTables::build(CupSample::standings(), QStringLiteral("Winter-Cup"),
                                     CupRules::Scoring::PointsTable));
    // Opening and closing the cup each travel to the open pages as a change.
    const QJsonObject cup =
        LiveSnapshotDelta::between(before,
                                   live.snapshot())[QStringLiteral("set")][QStringLiteral("cup")]
            .toObject();
    QCOMPARE(cup["classes"][0]["rows"][1][4].toString(), QStringLiteral("20"));
    QTRY_COMPARE(served()["cup"].toObject(), cup);
    const QByteArray page = client.get(QStringLiteral("/")).body;
    QVERIFY(page.contains("<section class=\"stage\" id=\"cup\"><h2>Winter-Cup</h2><h3>Klasse 3"));
    QVERIFY(page.contains("<td>TSV &lt;Nord&gt;</td>"));
    live.setCup(std::nullopt);
    QVERIFY(LiveSnapshotDelta::between(before, live.snapshot()).isEmpty());
    QTRY_VERIFY(served().value(QStringLiteral("cup")).isNull());
    QVERIFY(!client.get(QStringLiteral("/")).body.contains("id=\"cup\""));
}

QTEST_MAIN(TestLiveCup)
#include "tst_livecup.moc"

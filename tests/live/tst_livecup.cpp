#include "cup/CupStandings.h"
#include "live/LiveCupTables.h"
#include "live/LivePageRenderer.h"
#include "live/LivePublishing.h"
#include "live/LiveSnapshotDelta.h"
#include "live/LiveStateDocument.h"
#include "mock/FreePort.h"
#include "mock/LiveHttpClient.h"
#include "mock/SessionFixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

// The "Cup" tab of the live pages: the tables the standings give, the state that carries them,
// and no cup at all while none is open.
class TestLiveCup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tables_data();
    void tables();
    void stateAndChangeCarryTheCup();
    void servedWhileOpenAndGoneWhenClosed();

private:
    static CupStandings standings();
};

CupStandings TestLiveCup::standings() {
    CupStandings s;
    s.raceTitles = {QStringLiteral("Lauf 1"), QStringLiteral("Lauf 2")};
    CupStandings::ClassTable table;
    table.cls = QStringLiteral("2");
    const auto row = [](int place, const QString& name, const QString& first, const QString& club,
                        qint64 total, qint64 gap) {
        CupStandings::Row r;
        r.place = place;
        r.identity = CupIdentity{name, first, club};
        r.total = total;
        r.gap = gap;
        return r;
    };
    table.rows = {
        row(1, QStringLiteral("Müller"), QStringLiteral("Jörg"), QStringLiteral("SV <Süd>"), 18050,
            0),
        row(2, QStringLiteral("Huber"), QStringLiteral("Max"), QStringLiteral("TSV"), 16000, 2050),
        row(0, QStringLiteral("Kurz"), QStringLiteral("Eva"), QString(), 6000, 0)};
    s.classes = {table};
    return s;
}

void TestLiveCup::tables_data() {
    QTest::addColumn<int>("scoring");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    const int points = int(CupRules::Scoring::PointsTable);
    QTest::newRow("leader") << points << 0
                            << QStringList{"1", "Müller Jörg", "SV <Süd>", "180,50", ""};
    QTest::newRow("second with gap")
        << points << 1 << QStringList{"2", "Huber Max", "TSV", "160", "20,50"};
    QTest::newRow("unranked") << points << 2 << QStringList{"", "Kurz Eva", "", "60", ""};
    QTest::newRow("times") << int(CupRules::Scoring::TimeSum) << 1
                           << QStringList{"2", "Huber Max", "TSV", "160,00", "20,50"};
}

void TestLiveCup::tables() {
    QFETCH(int, scoring);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    const LiveSnapshot::Cup cup = LiveCupTables::build(standings(), QStringLiteral("Winter-Cup"),
                                                       static_cast<CupRules::Scoring>(scoring));
    QCOMPARE(cup.classes.size(), 1);
    QCOMPARE(cup.classes.at(0).caption, QStringLiteral("Klasse 2"));
    QCOMPARE(
        cup.classes.at(0).header,
        (QStringList{"Pl.", "Name", "Verein",
                     scoring == int(CupRules::Scoring::TimeSum) ? "Zeit" : "Punkte", "Abstand"}));
    QCOMPARE(cup.classes.at(0).rows.at(row), expected);
}

void TestLiveCup::stateAndChangeCarryTheCup() {
    LiveSnapshot none;
    QVERIFY(LiveStateDocument::toJson(none).value(QStringLiteral("cup")).isNull());
    LiveSnapshot open = none;
    open.cup = LiveCupTables::build(standings(), QStringLiteral("Winter-Cup"),
                                    CupRules::Scoring::PointsTable);
    const QJsonObject cup = LiveStateDocument::toJson(open).value(QStringLiteral("cup")).toObject();
    QCOMPARE(cup.value(QStringLiteral("name")).toString(), QStringLiteral("Winter-Cup"));
    QCOMPARE(cup.value(QStringLiteral("classes")).toArray().at(0)[QStringLiteral("rows")][1][3],
             QJsonValue(QStringLiteral("160")));
    // Opening and closing the cup each travel as a change.
    QCOMPARE(LiveSnapshotDelta::between(none, open)[QStringLiteral("set")][QStringLiteral("cup")],
             QJsonValue(cup));
    QVERIFY(LiveSnapshotDelta::between(open, none)[QStringLiteral("set")][QStringLiteral("cup")]
                .isNull());
    QVERIFY(!LiveSnapshotDelta::between(open, open).contains(QStringLiteral("set")));
    // The page as served before its script runs: the section with its escaped names.
    QFile page(QStringLiteral(":/live/index.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray pageTemplate = page.readAll();
    const QByteArray withCup = LivePageRenderer::render(pageTemplate, open);
    QVERIFY(withCup.contains("<section class=\"stage\" id=\"cup\"><h2>Winter-Cup</h2>"));
    QVERIFY(withCup.contains(QStringLiteral("<td>SV &lt;Süd&gt;</td>").toUtf8()));
    QVERIFY(!LivePageRenderer::render(pageTemplate, none).contains("id=\"cup\""));
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
        const LiveHttpClient::Reply reply = client.get(QStringLiteral("/api/state.json"));
        return QJsonDocument::fromJson(reply.body).object()[QStringLiteral("state")].toObject();
    };
    QVERIFY(served().value(QStringLiteral("cup")).isNull());
    live.setCup(standings(), QStringLiteral("Winter-Cup"), CupRules::Scoring::PointsTable);
    QTRY_COMPARE(
        served()[QStringLiteral("cup")][QStringLiteral("classes")][0][QStringLiteral("caption")]
            .toString(),
        QStringLiteral("Klasse 2"));
    QVERIFY(client.get(QStringLiteral("/")).body.contains("id=\"cup\""));
    live.setCup(std::nullopt);
    QTRY_VERIFY(served().value(QStringLiteral("cup")).isNull());
    QVERIFY(!client.get(QStringLiteral("/")).body.contains("id=\"cup\""));
}

QTEST_MAIN(TestLiveCup)
#include "tst_livecup.moc"

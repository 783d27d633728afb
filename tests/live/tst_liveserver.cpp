#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"
#include "live/LiveServer.h"
#include "live/LiveSnapshotBuilder.h"
#include "mock/FakeTickSource.h"
#include "mock/LiveHttpClient.h"
#include "timing/RunClock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

QJsonObject stateOf(const QByteArray& envelope) {
    return QJsonDocument::fromJson(envelope).object().value(QStringLiteral("state")).toObject();
}

} // namespace

// The live server on 127.0.0.1 as browsers and other programs meet it: pages, the JSON, the
// event stream, and the requests it refuses.
class TestLiveServer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pagesAfterRandomResults_data();
    void pagesAfterRandomResults();
    void jsonHoldsTheTablesAsShown();
    void markupInANameIsEscaped_data();
    void markupInANameIsEscaped();
    void unknownPathsAre404_data();
    void unknownPathsAre404();
    void onlyGet();
    void requestOverTheLimitIsRefused_data();
    void requestOverTheLimitIsRefused();
    void streamCarriesEveryNewState();
    void slowRequestIsCutOff();
    void connectionsBeyondTheMaximumGet503();
    void portInUseFails();

private:
    void startServer(LiveLimits limits = LiveLimits());
    LiveSnapshot randomSnapshot(quint32 seed);

    std::shared_ptr<FakeTickSource> m_ticks;
    std::unique_ptr<LiveServer> m_server;
    std::unique_ptr<LiveHttpClient> m_client;
    quint16 m_port = 0;
    Competition m_competition;
};

void TestLiveServer::init() {
    m_ticks = std::make_shared<FakeTickSource>(5'000'000'000);
    m_server = std::make_unique<LiveServer>(m_ticks);
}

void TestLiveServer::cleanup() {
    m_client.reset();
    m_server.reset();
}

void TestLiveServer::startServer(LiveLimits limits) {
    QSignalSpy started(m_server.get(), &LiveServer::started);
    m_server->start(0, QHostAddress::LocalHost, limits);
    QVERIFY(started.wait(5000));
    m_port = started.first().first().value<quint16>();
    QVERIFY(m_port != 0);
    m_client = std::make_unique<LiveHttpClient>(m_port);
}

LiveSnapshot TestLiveServer::randomSnapshot(quint32 seed) {
    StageDerivation derivation(m_competition);
    RandomGenerator random(seed);
    RandomProtocol::generateRandomProtocol(m_competition, random, derivation);
    RunClock clock(*m_ticks);
    LiveSnapshotBuilder::WindowTexts texts;
    texts.title = QStringLiteral("Kreismeisterschaft");
    texts.competitor = QStringLiteral("7 Muster Max");
    texts.club = QStringLiteral("SC Nord");
    return LiveSnapshotBuilder::build(m_competition, clock, texts);
}

void TestLiveServer::pagesAfterRandomResults_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("contains");
    QTest::newRow("phone page") << "/" << QByteArray("text/html") << QByteArray("TOP3 je Klasse");
    QTest::newRow("phone page by name")
        << "/index.html" << QByteArray("text/html") << QByteArray("Endlauf-Ergebnisse");
    QTest::newRow("overlay Zeit") << "/zeit.html" << QByteArray("text/html")
                                  << QByteArray("class=\"clock\"");
    QTest::newRow("overlay TOP3") << "/top3.html" << QByteArray("text/html")
                                  << QByteArray("TOP 3 je Klasse");
    QTest::newRow("script") << "/live.js" << QByteArray("text/javascript")
                            << QByteArray("EventSource('/events'");
    QTest::newRow("broker client") << "/mqtt.js" << QByteArray("text/javascript")
                                   << QByteArray("new window.WebSocket(url, ['mqtt'])");
    QTest::newRow("page style") << "/live.css" << QByteArray("text/css") << QByteArray(".clock");
    QTest::newRow("overlay style")
        << "/overlay.css" << QByteArray("text/css") << QByteArray("transparent");
    QTest::newRow("state") << "/api/state.json" << QByteArray("application/json")
                           << QByteArray("\"serverTimeMs\":5000000");
}

void TestLiveServer::pagesAfterRandomResults() {
    QFETCH(QString, path);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, contains);
    const LiveSnapshot snapshot = randomSnapshot(17);
    m_server->publish(snapshot);
    startServer();
    const LiveHttpClient::Reply reply = m_client->get(path);
    QCOMPARE(reply.status, 200);
    QVERIFY2(reply.contentType.startsWith(type), reply.contentType.constData());
    QVERIFY2(reply.body.contains(contains), reply.body.left(300).constData());
    if (type == "text/html") {
        // Filled before any script runs: the title, the competitor and the first results.
        QVERIFY(reply.body.contains("Kreismeisterschaft"));
        QVERIFY(!reply.body.contains("<!--live:"));
    }
    if (path == QLatin1String("/")) {
        const QStringList first = snapshot.stages[1].rows.first();
        QVERIFY(reply.body.contains(("<td>" + first.at(2) + "</td>").toUtf8()));
        QVERIFY(reply.body.contains("7 Muster Max"));
    }
}

void TestLiveServer::jsonHoldsTheTablesAsShown() {
    const LiveSnapshot snapshot = randomSnapshot(23);
    m_server->publish(snapshot);
    startServer();
    const QJsonObject state = stateOf(m_client->get(QStringLiteral("/api/state.json")).body);
    const QJsonArray stages = state.value(QStringLiteral("stages")).toArray();
    QCOMPARE(stages.size(), 4);
    for (int page = 0; page < 4; ++page) {
        const CompetitionTable& table = m_competition.stageTable(page);
        const QJsonObject stage = stages.at(page).toObject();
        const QJsonArray rows = stage.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), table.rowsWithHeader() - 1);
        // The heat start list as on screen: without its two final runs.
        const int columns = page == 0 ? table.columns() - 2 : table.columns();
        QCOMPARE(stage.value(QStringLiteral("header")).toArray().size(), columns);
        for (int row = 1; row < table.rowsWithHeader(); row += 17) {
            const QJsonArray cells = rows.at(row - 1).toArray();
            QCOMPARE(cells.size(), columns);
            for (int col = 0; col < columns; ++col)
                QCOMPARE(cells.at(col).toString(), table.cell(col, row));
        }
    }
    // Placements are cells like any other: "Pl." of the first heat result.
    QCOMPARE(stages.at(1).toObject()["rows"].toArray().at(0).toArray().at(0).toString(),
             m_competition.heatResults().cell(0, 1));
    const QJsonArray top3 = state.value(QStringLiteral("top3")).toArray();
    QCOMPARE(top3.size(), 12);
    QCOMPARE(top3.at(0).toObject()["place"].toString(), QStringLiteral("1."));
    QCOMPARE(state.value(QStringLiteral("teams")).toObject()["caption"].toString(),
             QStringLiteral("Mannschaften"));
    QCOMPARE(state.value(QStringLiteral("clock")).toObject()["state"].toString(),
             QStringLiteral("ready"));
}

void TestLiveServer::markupInANameIsEscaped_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("phone page") << "/";
    QTest::newRow("overlay Zeit") << "/zeit.html";
}

void TestLiveServer::markupInANameIsEscaped() {
    QFETCH(QString, path);
    LiveSnapshot snapshot;
    snapshot.competitor = QStringLiteral("3 <script>alert(1)</script> \"Süß\" & Co");
    snapshot.title = QStringLiteral("<b>Titel</b>");
    snapshot.stages[0].rows.append({QStringLiteral("<img src=x onerror=alert(2)>")});
    m_server->publish(snapshot);
    startServer();
    const QByteArray body = m_client->get(path).body;
    QVERIFY(!body.contains("<script>alert"));
    QVERIFY(!body.contains("<b>Titel"));
    QVERIFY(!body.contains("<img src=x"));
    QVERIFY(body.contains("3 &lt;script&gt;alert(1)&lt;/script&gt; &quot;Süß&quot; &amp; Co"));
    QVERIFY(body.contains("&lt;b&gt;Titel&lt;/b&gt;"));
    // The JSON carries the text itself; the pages insert it as text.
    const QJsonObject state = stateOf(m_client->get(QStringLiteral("/api/state.json")).body);
    QCOMPARE(state.value(QStringLiteral("competitor")).toString(), snapshot.competitor);
}

void TestLiveServer::unknownPathsAre404_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("unknown") << QByteArray("/results.html");
    QTest::newRow("dot dot") << QByteArray("/../api/state.json");
    QTest::newRow("dot dot inside") << QByteArray("/api/../index.html");
    QTest::newRow("encoded dot dot") << QByteArray("/%2e%2e/%2e%2e/etc/passwd");
    QTest::newRow("encoded slash") << QByteArray("/api%2fstate.json");
    QTest::newRow("encoded dot dot slash") << QByteArray("/..%2f..%2fetc%2fpasswd");
    QTest::newRow("backslash") << QByteArray("/..\\..\\etc\\passwd");
    QTest::newRow("file on disk") << QByteArray("/etc/passwd");
    QTest::newRow("resource path") << QByteArray("/:/live/index.html");
    QTest::newRow("double slash") << QByteArray("//index.html");
    QTest::newRow("trailing slash") << QByteArray("/live.js/");
    QTest::newRow("nul") << QByteArray("/live.js%00.html");
    QTest::newRow("api folder") << QByteArray("/api/");
}

void TestLiveServer::unknownPathsAre404() {
    QFETCH(QByteArray, target);
    startServer();
    const QByteArray answer =
        m_client->raw("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QVERIFY2(answer.startsWith("HTTP/1.1 404"), answer.left(200).constData());
    QVERIFY(!answer.contains("root:"));
}

void TestLiveServer::onlyGet() {
    startServer();
    const LiveHttpClient::Reply reply = m_client->post(QStringLiteral("/api/state.json"), "x=1");
    QCOMPARE(reply.status, 405);
    const QByteArray answer =
        m_client->raw("DELETE / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 0\r\n\r\n");
    QVERIFY2(answer.startsWith("HTTP/1.1 405"), answer.left(200).constData());
}

void TestLiveServer::requestOverTheLimitIsRefused_data() {
    QTest::addColumn<int>("headerBytes");
    QTest::addColumn<int>("status");
    QTest::newRow("small") << 1000 << 200;
    QTest::newRow("just under the limit") << 7000 << 200;
    QTest::newRow("over the limit") << 9000 << 413;
    QTest::newRow("far over the limit") << 200000 << 413;
}

void TestLiveServer::requestOverTheLimitIsRefused() {
    QFETCH(int, headerBytes);
    QFETCH(int, status);
    startServer();
    const LiveHttpClient::Reply reply = m_client->get(
        QStringLiteral("/api/state.json"), {{"X-Padding", QByteArray(headerBytes, 'a')}});
    QCOMPARE(reply.status, status);
    // The server goes on answering others.
    QCOMPARE(m_client->get(QStringLiteral("/live.js")).status, 200);
}

void TestLiveServer::streamCarriesEveryNewState() {
    LiveSnapshot snapshot;
    snapshot.competitor = QStringLiteral("1 Erste Anna");
    m_server->publish(snapshot);
    startServer();
    QNetworkReply* stream = m_client->openStream();
    QTRY_COMPARE(m_client->state()["competitor"].toString(), snapshot.competitor);
    QCOMPARE(stream->header(QNetworkRequest::ContentTypeHeader).toString(),
             QStringLiteral("text/event-stream; charset=utf-8"));

    m_ticks->advanceMilliseconds(1500);
    snapshot.competitor = QStringLiteral("2 Zweiter Bert");
    snapshot.clock.state = LiveSnapshot::Clock::State::Running;
    snapshot.clock.startMs = 5'001'000;
    m_server->publish(snapshot);
    QTRY_COMPARE_WITH_TIMEOUT(m_client->state()["competitor"].toString(), snapshot.competitor,
                              1000);
    // Only the change travels, stamped with the server's clock.
    const QJsonObject change = m_client->mirror().deltas().last();
    QCOMPARE(change.value(QStringLiteral("serverTimeMs")).toDouble(), 5'001'500.0);
    QVERIFY(!change.contains(QStringLiteral("tables")));
    const QJsonObject clock = m_client->state()["clock"].toObject();
    QCOMPARE(clock.value(QStringLiteral("state")).toString(), QStringLiteral("running"));
    QCOMPARE(clock.value(QStringLiteral("startMs")).toDouble(), 5'001'000.0);
    QVERIFY(m_client->mirror().inStep());
    stream->abort();
    stream->deleteLater();
}

void TestLiveServer::slowRequestIsCutOff() {
    LiveLimits limits;
    limits.requestTimeoutMs = 300;
    startServer(limits);
    // Half a request head, then nothing: the server hangs up instead of waiting for ever.
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    QVERIFY(socket.waitForConnected(2000));
    socket.write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    QVERIFY(socket.waitForBytesWritten(1000));
    QVERIFY(socket.waitForDisconnected(3000));
    QCOMPARE(m_client->get(QStringLiteral("/")).status, 200);
}

void TestLiveServer::connectionsBeyondTheMaximumGet503() {
    LiveLimits limits;
    limits.maxConnections = 4;
    startServer(limits);
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 4; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QStringLiteral("127.0.0.1"), m_port);
        QVERIFY(idle.back()->waitForConnected(2000));
    }
    QTest::qWait(100);
    const QByteArray answer = m_client->raw("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QVERIFY2(answer.startsWith("HTTP/1.1 503"), answer.left(100).constData());
    idle.clear();
    QTRY_VERIFY(
        m_client->raw("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").startsWith("HTTP/1.1 200"));
}

void TestLiveServer::portInUseFails() {
    QTcpServer occupier;
    QVERIFY(occupier.listen(QHostAddress::LocalHost, 0));
    QSignalSpy failed(m_server.get(), &LiveServer::failed);
    m_server->start(occupier.serverPort(), QHostAddress::LocalHost);
    QVERIFY(failed.wait(5000));
    QVERIFY(!failed.first().first().toString().isEmpty());
    QVERIFY(!m_server->isRunning());
}

QTEST_GUILESS_MAIN(TestLiveServer)
#include "tst_liveserver.moc"

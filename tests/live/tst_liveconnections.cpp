#include "live/LiveStateDocument.h"
#include "live/LiveTcpServer.h"
#include "mock/LiveServerFixture.h"
#include "mock/LiveStateMirror.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

namespace {

qint64 residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

QByteArray statusLine(const QByteArray& answer) {
    return answer.left(answer.indexOf("\r\n"));
}

const QHostAddress Second(QStringLiteral("127.0.0.2"));
const QHostAddress Third(QStringLiteral("127.0.0.3"));

} // namespace

// What one client can take from the live server on 127.0.0.1: one request at a time, one
// stream per connection, a share per address, no slot held by trickling, and a slow reader
// that costs a bounded queue and still ends up with the current state.
class TestLiveConnections : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void capLeavesTheProgramItsFiles_data();
    void capLeavesTheProgramItsFiles();
    void pipelinedRequestsAreAnsweredOneAtATime();
    void oneStreamPerConnection();
    void limitsPerAddress_data();
    void limitsPerAddress();
    void whoCountsAsOneAddress_data();
    void whoCountsAsOneAddress();
    void slotsAreNotHeldForFree_data();
    void slotsAreNotHeldForFree();
    void connectionAfterTheAnswer_data();
    void connectionAfterTheAnswer();
    void slowStreamCatchesUp();
    void pageBackAfterABreakGetsWhatItMissed_data();
    void pageBackAfterABreakGetsWhatItMissed();
    void unchangedFilesAre304_data();
    void unchangedFilesAre304();
    void oneEntryTravelsSmall();
};

void TestLiveConnections::capLeavesTheProgramItsFiles_data() {
    QTest::addColumn<qint64>("fileLimit");
    QTest::addColumn<int>("open");
    QTest::addColumn<int>("cap");
    QTest::newRow("desktop session") << qint64(1024) << 40 << 1024 - 40 - 128;
    QTest::newRow("raised limit") << qint64(524288) << 40 << 2000;
    QTest::newRow("no room at all") << qint64(150) << 40 << 0;
}

void TestLiveConnections::capLeavesTheProgramItsFiles() {
    QFETCH(qint64, fileLimit);
    QFETCH(int, open);
    QFETCH(int, cap);
    QCOMPARE(LiveTcpServer::capFor(LiveLimits(), fileLimit, open), cap);
}

void TestLiveConnections::pipelinedRequestsAreAnsweredOneAtATime() {
    LiveServerFixture f;
    f.server().publish(LiveServerFixture::crowd(300));
    QVERIFY(f.start());
    QCOMPARE(f.client().get(QStringLiteral("/")).status, 200);
    const qint64 before = residentKiB();
    // 54 KB of requests for a page of about 60 KB each, from a client that reads nothing.
    auto socket = f.connectFrom();
    QVERIFY(socket);
    socket->setReadBufferSize(1024);
    QByteArray requests;
    for (int i = 0; i < 2000; ++i)
        requests += "GET / HTTP/1.1\r\nHost: a\r\n\r\n";
    socket->write(requests);
    QTest::qWait(1500);
    const qint64 grown = residentKiB() - before;
    QVERIFY2(grown < 40 * 1024, qPrintable(QStringLiteral("%1 KiB more").arg(grown)));
    // The answers come in order once the client reads.
    socket->setReadBufferSize(0);
    QByteArray answers;
    QTRY_VERIFY((answers += socket->readAll()).count("HTTP/1.1 200 OK") >= 3);
    QVERIFY(answers.startsWith("HTTP/1.1 200 OK"));
}

void TestLiveConnections::oneStreamPerConnection() {
    LiveServerFixture f;
    LiveLimits limits;
    limits.maxStreams = 2;
    QVERIFY(f.start(limits));
    auto greedy = f.connectFrom();
    QVERIFY(greedy);
    QByteArray requests;
    for (int i = 0; i < 50; ++i)
        requests += "GET /events HTTP/1.1\r\nHost: a\r\n\r\n";
    greedy->write(requests);
    QTRY_VERIFY(greedy->bytesAvailable() > 0);
    const QByteArray request = "GET /events HTTP/1.1\r\nHost: a\r\n\r\n";
    QCOMPARE(statusLine(f.client().raw(request, 500, Second)), QByteArray("HTTP/1.1 200 OK"));
    auto second = f.connectFrom(Second);
    second->write(request);
    QTRY_VERIFY(second->bytesAvailable() > 0);
    QCOMPARE(statusLine(f.client().raw(request, 500, Third)),
             QByteArray("HTTP/1.1 503 Service Unavailable"));
}

void TestLiveConnections::limitsPerAddress_data() {
    QTest::addColumn<QByteArray>("held");
    QTest::addColumn<int>("count");
    QTest::newRow("connections") << QByteArray() << 3;
    QTest::newRow("streams") << QByteArray("GET /events HTTP/1.1\r\nHost: a\r\n\r\n") << 2;
}

void TestLiveConnections::limitsPerAddress() {
    QFETCH(QByteArray, held);
    QFETCH(int, count);
    LiveServerFixture f;
    LiveLimits limits;
    limits.maxConnectionsPerAddress = 3;
    limits.maxStreamsPerAddress = 2;
    QVERIFY(f.start(limits));
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < count; ++i) {
        sockets.push_back(f.connectFrom());
        QVERIFY(sockets.back());
        sockets.back()->write(held);
    }
    QTest::qWait(200);
    const QByteArray request = held.isEmpty() ? "GET /live.css HTTP/1.1\r\nHost: a\r\n\r\n" : held;
    const QByteArray refused = f.client().raw(request, 1000);
    QCOMPARE(statusLine(refused), QByteArray("HTTP/1.1 503 Service Unavailable"));
    QVERIFY(refused.contains("Retry-After: 3\r\n"));
    // A phone next to the greedy one is served.
    QCOMPARE(statusLine(f.client().raw(request, 500, Second)), QByteArray("HTTP/1.1 200 OK"));
}

void TestLiveConnections::whoCountsAsOneAddress_data() {
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("shared");
    QTest::newRow("phones on IPv4") << "192.168.1.2"
                                    << "192.168.1.20"
                                    << "192.168.1.21" << false;
    QTest::newRow("mapped IPv4 is IPv4") << "::ffff:192.168.1.2"
                                         << "::ffff:192.168.1.20"
                                         << "192.168.1.20" << true;
    QTest::newRow("phones on private IPv6") << "fd00::2"
                                            << "fd00::10"
                                            << "fd00::11" << false;
    QTest::newRow("phones on link-local IPv6") << "fe80::2"
                                               << "fe80::a"
                                               << "fe80::b" << false;
    QTest::newRow("phones in this machine's global /64") << "2001:db8:1::2"
                                                         << "2001:db8:1::a"
                                                         << "2001:db8:1::b" << false;
    QTest::newRow("one host on the internet") << "2001:db8:1::2"
                                              << "2001:db8:9::a"
                                              << "2001:db8:9::b" << true;
    QTest::newRow("one address, one key") << "fd00::2"
                                          << "fd00::10"
                                          << "fd00::10" << true;
}

void TestLiveConnections::whoCountsAsOneAddress() {
    QFETCH(QString, local);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, shared);
    const QHostAddress server(local);
    QCOMPARE(LiveTcpServer::addressKey(QHostAddress(first), server) ==
                 LiveTcpServer::addressKey(QHostAddress(second), server),
             shared);
}

void TestLiveConnections::slotsAreNotHeldForFree_data() {
    QTest::addColumn<QByteArray>("trickle");
    QTest::newRow("nothing at all") << QByteArray();
    QTest::newRow("bare CR LF") << QByteArray("\r\n");
    QTest::newRow("a head byte by byte") << QByteArray("X");
    QTest::newRow("header lines") << QByteArray("GET / HTTP/1.1\r\nX-A: b\r\n");
}

void TestLiveConnections::slotsAreNotHeldForFree() {
    QFETCH(QByteArray, trickle);
    LiveServerFixture f;
    LiveLimits limits;
    limits.idleTimeoutMs = 400;
    limits.requestTimeoutMs = 400;
    QVERIFY(f.start(limits));
    auto socket = f.connectFrom();
    QVERIFY(socket);
    QElapsedTimer held;
    held.start();
    while (socket->state() == QAbstractSocket::ConnectedState && held.elapsed() < 5000) {
        socket->write(trickle);
        socket->waitForDisconnected(50);
    }
    QVERIFY2(held.elapsed() < 1500, qPrintable(QString::number(held.elapsed())));
}

void TestLiveConnections::connectionAfterTheAnswer_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<bool>("closed");
    QTest::newRow("HTTP/1.1") << QByteArray("GET /live.css HTTP/1.1\r\nHost: a\r\n\r\n")
                              << QByteArray("HTTP/1.1 200 OK") << false;
    QTest::newRow("HTTP/1.0") << QByteArray("GET /live.css HTTP/1.0\r\n\r\n")
                              << QByteArray("HTTP/1.1 200 OK") << true;
    QTest::newRow("Connection: close")
        << QByteArray("GET /live.css HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n")
        << QByteArray("HTTP/1.1 200 OK") << true;
    QTest::newRow("body announced with Expect")
        << QByteArray("POST /api/state.json HTTP/1.1\r\nHost: a\r\nContent-Length: 900\r\n"
                      "Expect: 100-continue\r\n\r\n")
        << QByteArray("HTTP/1.1 405 Method Not Allowed") << true;
    QTest::newRow("unknown expectation")
        << QByteArray("GET / HTTP/1.1\r\nHost: a\r\nExpect: everything\r\n\r\n")
        << QByteArray("HTTP/1.1 417 Expectation Failed") << true;
    QTest::newRow("WebSocket") << QByteArray(
                                      "GET /events HTTP/1.1\r\nHost: a\r\nConnection: Upgrade\r\n"
                                      "Upgrade: websocket\r\nSec-WebSocket-Version: 13\r\n"
                                      "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n")
                               << QByteArray("HTTP/1.1 400 Bad Request") << true;
    QTest::newRow("not HTTP") << QByteArray("HELLO\r\n\r\n")
                              << QByteArray("HTTP/1.1 400 Bad Request") << true;
}

void TestLiveConnections::connectionAfterTheAnswer() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, status);
    QFETCH(bool, closed);
    // Refusals are answers, not complaints on the terminal.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".+")));
    LiveServerFixture f;
    QVERIFY(f.start());
    auto socket = f.connectFrom();
    QVERIFY(socket);
    socket->write(request);
    const QByteArray answer = LiveServerFixture::readUntilClosed(*socket, 1000);
    QCOMPARE(statusLine(answer), status);
    QCOMPARE(socket->state() != QAbstractSocket::ConnectedState, closed);
    if (!closed) {
        socket->write(request);
        QTRY_VERIFY(socket->bytesAvailable() > 0);
        QCOMPARE(statusLine(socket->readAll()), status);
    }
}

void TestLiveConnections::slowStreamCatchesUp() {
    LiveServerFixture f;
    LiveLimits limits;
    limits.maxQueuedStreamBytes = 64 * 1024;
    f.server().publish(LiveServerFixture::crowd(1000, 0));
    QVERIFY(f.start(limits));
    auto socket = f.connectFrom();
    QVERIFY(socket);
    // A phone whose Wi-Fi takes nothing for a while.
    socket->setReadBufferSize(1024);
    socket->write("GET /events HTTP/1.1\r\nHost: a\r\n\r\n");
    QTest::qWait(300);
    LiveSnapshot last;
    const int changes = 30;
    for (int seed = 1; seed <= changes; ++seed) {
        last = LiveServerFixture::crowd(1000, seed);
        f.server().publish(last);
    }
    QTest::qWait(500);
    socket->setReadBufferSize(0);
    LiveStateMirror mirror;
    const QJsonObject wanted = LiveStateDocument::toJson(last);
    QByteArray received;
    QElapsedTimer reading;
    reading.start();
    while (mirror.state() != wanted && reading.elapsed() < 20000) {
        socket->waitForReadyRead(20);
        received += socket->readAll();
        const qsizetype body = received.indexOf("\r\n\r\n");
        if (body >= 0) {
            mirror.feed(received.mid(body + 4));
            received = "\r\n\r\n";
        }
    }
    QCOMPARE(mirror.state(), wanted);
    QVERIFY(mirror.inStep());
    // Changes it could not take in time were skipped for the state as it is now.
    QVERIFY2(mirror.deltaEvents() < changes, qPrintable(QString::number(mirror.deltaEvents())));
    QVERIFY(mirror.stateEvents() >= 2);
}

void TestLiveConnections::pageBackAfterABreakGetsWhatItMissed_data() {
    QTest::addColumn<bool>("sameRun");
    QTest::newRow("same server run") << true;
    QTest::newRow("another server run") << false;
}

void TestLiveConnections::pageBackAfterABreakGetsWhatItMissed() {
    QFETCH(bool, sameRun);
    LiveServerFixture f;
    LiveSnapshot snapshot = LiveServerFixture::crowd(50);
    f.server().publish(snapshot);
    QVERIFY(f.start());
    const QJsonObject envelope =
        QJsonDocument::fromJson(f.client().get(QStringLiteral("/api/state.json")).body).object();
    const QByteArray epoch = sameRun ? envelope["epoch"].toString().toLatin1() : "other";
    const QByteArray since = epoch + '-' + QByteArray::number(envelope["v"].toInteger());
    for (int i = 0; i < 3; ++i) {
        snapshot.competitor = QStringLiteral("Läufer %1").arg(i);
        f.server().publish(snapshot);
    }
    QTest::qWait(100);
    LiveStateMirror mirror;
    const QByteArray stream =
        f.client().raw("GET /events?since=" + since + " HTTP/1.1\r\n\r\n", 500);
    QVERIFY(stream.startsWith("HTTP/1.1 200 OK"));
    // The page holds the state it had; a page of another run is given the whole state.
    QCOMPARE(stream.contains("event: state\n"), !sameRun);
    mirror.feed("event: state\ndata: " + QJsonDocument(envelope).toJson(QJsonDocument::Compact) +
                "\n\n");
    mirror.feed(stream.mid(stream.indexOf("\r\n\r\n") + 4));
    QCOMPARE(mirror.deltaEvents(), sameRun ? 3 : 0);
    QCOMPARE(mirror.state(), LiveStateDocument::toJson(snapshot));
}

void TestLiveConnections::unchangedFilesAre304_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("changesWithTheState");
    QTest::newRow("script") << "/live.js" << false;
    QTest::newRow("phone page") << "/" << true;
    QTest::newRow("state") << "/api/state.json" << true;
}

void TestLiveConnections::unchangedFilesAre304() {
    QFETCH(QString, path);
    QFETCH(bool, changesWithTheState);
    LiveServerFixture f;
    LiveSnapshot snapshot = LiveServerFixture::crowd(100);
    f.server().publish(snapshot);
    QVERIFY(f.start());
    const auto ask = [&](const QByteArray& etag) {
        return f.client().raw("GET " + path.toLatin1() +
                                  " HTTP/1.1\r\nAccept-Encoding: gzip\r\nIf-None-Match: " + etag +
                                  "\r\n\r\n",
                              1000);
    };
    const QByteArray first = ask("\"none\"");
    QVERIFY(first.startsWith("HTTP/1.1 200 OK"));
    QVERIFY(first.contains("Content-Encoding: gzip\r\n"));
    const QRegularExpression tagField(QStringLiteral("ETag: ([^\r]+)\r\n"));
    const QByteArray etag = tagField.match(QString::fromLatin1(first)).captured(1).toLatin1();
    QVERIFY(!etag.isEmpty());
    QCOMPARE(statusLine(ask(etag)), QByteArray("HTTP/1.1 304 Not Modified"));
    snapshot.title = QStringLiteral("Neu");
    f.server().publish(snapshot);
    QTest::qWait(100);
    QCOMPARE(statusLine(ask(etag)), changesWithTheState ? QByteArray("HTTP/1.1 200 OK")
                                                        : QByteArray("HTTP/1.1 304 Not Modified"));
}

void TestLiveConnections::oneEntryTravelsSmall() {
    LiveServerFixture f;
    LiveSnapshot snapshot = LiveServerFixture::crowd(1000);
    f.server().publish(snapshot);
    QVERIFY(f.start());
    f.client().openStream();
    QTRY_VERIFY(f.client().mirror().stateEvents() == 1);
    const qsizetype before = f.client().stream().size();
    // One run entered: a time in the start list, a result that moves up one place.
    snapshot.stages[0].rows[500][6] = QStringLiteral("1999");
    snapshot.stages[1].rows.move(500, 20);
    snapshot.lastResult = LiveSnapshot::Result{QStringLiteral("501 Name501"), QStringLiteral("V"),
                                               QStringLiteral("1999"), 1};
    f.server().publish(snapshot);
    QTRY_COMPARE(f.client().state(), LiveStateDocument::toJson(snapshot));
    const qsizetype bytes = f.client().stream().size() - before;
    QVERIFY2(bytes < 1024, qPrintable(QString::number(bytes)));
}

QTEST_GUILESS_MAIN(TestLiveConnections)
#include "tst_liveconnections.moc"

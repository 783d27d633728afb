#include "live/Gzip.h"
#include "live/LiveRequest.h"

#include <QTest>

// Request heads as the live server reads them, and what they ask of the connection.
class TestLiveRequest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void gzipAccepted_data();
    void gzipAccepted();
};

void TestLiveRequest::parse_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("closes");
    QTest::newRow("plain GET") << QByteArray("GET /live.js HTTP/1.1\r\nHost: a") << true
                               << QByteArray("/live.js") << false;
    QTest::newRow("query apart") << QByteArray("GET /events?since=x-3 HTTP/1.1") << true
                                 << QByteArray("/events") << false;
    QTest::newRow("bare LF lines")
        << QByteArray("GET / HTTP/1.1\nHost: a") << true << QByteArray("/") << false;
    QTest::newRow("HTTP/1.0") << QByteArray("GET / HTTP/1.0") << true << QByteArray("/") << true;
    QTest::newRow("close asked") << QByteArray("GET / HTTP/1.1\r\nConnection: keep-alive, Close")
                                 << true << QByteArray("/") << true;
    QTest::newRow("body follows") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 3") << true
                                  << QByteArray("/") << true;
    QTest::newRow("chunked body") << QByteArray("POST / HTTP/1.1\r\nTransfer-Encoding: chunked")
                                  << true << QByteArray("/") << true;
    QTest::newRow("HTTP/2 preface")
        << QByteArray("PRI * HTTP/2.0") << false << QByteArray() << true;
    QTest::newRow("absolute form")
        << QByteArray("GET http://a/ HTTP/1.1") << false << QByteArray() << true;
    QTest::newRow("folded header")
        << QByteArray("GET / HTTP/1.1\r\nX-A: b\r\n c") << false << QByteArray() << true;
    QTest::newRow("space before colon")
        << QByteArray("GET / HTTP/1.1\r\nHost : a") << false << QByteArray() << true;
    QTest::newRow("two lengths") << QByteArray("GET / HTTP/1.1\r\nContent-Length: 1\r\n"
                                               "Content-Length: 2")
                                 << false << QByteArray() << true;
    QTest::newRow("negative length")
        << QByteArray("GET / HTTP/1.1\r\nContent-Length: -1") << false << QByteArray() << true;
    QTest::newRow("control in target")
        << QByteArray("GET /a\x01 HTTP/1.1") << false << QByteArray() << true;
}

void TestLiveRequest::parse() {
    QFETCH(QByteArray, head);
    QFETCH(bool, valid);
    QFETCH(QByteArray, path);
    QFETCH(bool, closes);
    const std::optional<LiveRequest> request = LiveRequest::parse(head);
    QCOMPARE(request.has_value(), valid);
    if (!request)
        return;
    QCOMPARE(request->path, path);
    QCOMPARE(request->closesAfterAnswer(), closes);
}

void TestLiveRequest::gzipAccepted_data() {
    QTest::addColumn<QByteArray>("acceptEncoding");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("browser") << QByteArray("gzip, deflate, br") << true;
    QTest::newRow("none") << QByteArray() << false;
    QTest::newRow("identity") << QByteArray("identity") << false;
    QTest::newRow("refused") << QByteArray("gzip;q=0, br") << false;
    QTest::newRow("weighted") << QByteArray("br;q=1.0, gzip;q=0.5") << true;
    QTest::newRow("anything") << QByteArray("*") << true;
}

void TestLiveRequest::gzipAccepted() {
    QFETCH(QByteArray, acceptEncoding);
    QFETCH(bool, accepted);
    QCOMPARE(Gzip::accepted(acceptEncoding), accepted);
}

QTEST_GUILESS_MAIN(TestLiveRequest)
#include "tst_liverequest.moc"

#include "mock/PtyPair.h"
#include "mock/SessionFixture.h"
#include "session/ScoreboardSession.h"
#include "timing/ScoreboardFrames.h"
#include "timing/ScoreboardPort.h"

#include <QElapsedTimer>
#include <QTest>

// The scoreboard's frames, and what a board on a pseudo-terminal receives while a run is timed.
class TestScoreboard : public QObject {
    Q_OBJECT

private slots:
    void frames_data();
    void frames();
    void boardShowsTheRun_data();
    void boardShowsTheRun();
    void boardThatTakesNothingDoesNotHoldUp();
    void boardNotReachedIsTold();
};

using Protocol = ScoreboardFrames::Protocol;
using Kind = ScoreboardFrames::Kind;

void TestScoreboard::frames_data() {
    QTest::addColumn<Protocol>("protocol");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("place");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("gaz running") << Protocol::Gaz << Kind::Running << 11 << 12345 << 0
                                 << QByteArray("R  11           12.3\r");
    QTest::newRow("gaz result") << Protocol::Gaz << Kind::Result << 11 << 65439 << 2
                                << QByteArray("E  11  2     1:05.43\r");
    QTest::newRow("gaz hours") << Protocol::Gaz << Kind::Stopped << 0 << 3723450 << 0
                               << QByteArray("S         1:02:03.45\r");
    QTest::newRow("unt4 result") << Protocol::Unt4 << Kind::Result << 7 << 45390 << 1
                                 << QByteArray("\x01"
                                               "00E\x02   7  1       45.39\x04");
}

void TestScoreboard::frames() {
    QFETCH(Protocol, protocol);
    QFETCH(Kind, kind);
    QFETCH(int, number);
    QFETCH(int, ms);
    QFETCH(int, place);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ScoreboardFrames::frame(protocol, kind, number, ms, place), bytes);
}

void TestScoreboard::boardShowsTheRun_data() {
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QByteArray>("stopped");
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<QByteArray>("test");
    QTest::newRow("gaz") << "gaz" << QByteArray("S  11          12.34\r")
                         << QByteArray("E  11  2       12.34\r")
                         << QByteArray("T8888 88 88:88:88.88\r");
    QTest::newRow("unt4") << "unt4"
                          << QByteArray("\x01"
                                        "00S\x02  11          12.34\x04")
                          << QByteArray("\x01"
                                        "00E\x02  11  2       12.34\x04")
                          << QByteArray("\x01"
                                        "00T\x02"
                                        "8888 88 88:88:88.88\x04");
}

void TestScoreboard::boardShowsTheRun() {
    QFETCH(QString, protocol);
    QFETCH(QByteArray, stopped);
    QFETCH(QByteArray, result);
    QFETCH(QByteArray, test);
    PtyPair board;
    QVERIFY(board.isValid());
    SessionFixture f;
    f.addCompetitors(2);
    RaceSession& session = f.session();
    session.settings().boardDevice = board.slavePath();
    session.settings().boardProtocol = protocol;
    QVERIFY(session.scoreboard().apply(session.settings()));
    QByteArray received;
    const auto receive = [&] {
        received += board.read(50);
    };
    // Competitor 11 comes second after 12's run of 10 s.
    session.competition().heatStartList().setRow(2);
    QVERIFY(f.run({"F5", "+10000", "F8", "F9"}));
    session.competition().heatStartList().setRow(1);
    QVERIFY(f.run({"F5", "+5000"}));
    QTRY_VERIFY(QTest::qWaitFor(
        [&] {
            receive();
            return received.contains("5.0");
        },
        3000));
    QVERIFY(f.run({"+7340", "F8", "F9"}));
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     receive();
                     return received.endsWith(result);
                 },
                 3000),
             received.right(60).toPercentEncoding(" :.").constData());
    // Running times first, then the stopped time, then the result with the place.
    QVERIFY(received.contains(protocol == "gaz" ? "R  11"
                                                : "\x01"
                                                  "00R\x02  11"));
    QCOMPARE(received.right(stopped.size() + result.size()), stopped + result);
    received.clear();
    QCOMPARE(session.scoreboard().test(board.slavePath(), 2400, protocol).left(9),
             QStringLiteral("Testbild "));
    QVERIFY(QTest::qWaitFor(
        [&] {
            receive();
            return received == test;
        },
        3000));
}

void TestScoreboard::boardThatTakesNothingDoesNotHoldUp() {
    PtyPair board; // never read: the line fills up
    ScoreboardPort port(nullptr);
    QVERIFY(port.open(board.slavePath(), 2400));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 5000; ++i)
        port.send(ScoreboardFrames::frame(Protocol::Gaz, Kind::Result, i, i, 1), false);
    QVERIFY2(timer.elapsed() < 200, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(port.dropped() > 0);
}

void TestScoreboard::boardNotReachedIsTold() {
    SessionFixture f;
    RaceSession& session = f.session();
    ScoreboardSession& scoreboard = session.scoreboard();
    auto board = std::make_unique<PtyPair>();
    const QString device = board->slavePath() + QStringLiteral("-abgezogen");
    session.settings().boardDevice = device;
    QVERIFY(!scoreboard.apply(session.settings()));
    QVERIFY2(scoreboard.lastingNotice().startsWith(QStringLiteral("Anzeigetafel an ") + device),
             qPrintable(scoreboard.lastingNotice()));
    // The board chosen again where it is: the notice goes by itself.
    session.settings().boardDevice = board->slavePath();
    QVERIFY(scoreboard.apply(session.settings()));
    QCOMPARE(scoreboard.lastingNotice(), QString());
    session.settings().boardDevice.clear();
    scoreboard.apply(session.settings());
    QCOMPARE(scoreboard.lastingNotice(), QString());
}

QTEST_GUILESS_MAIN(TestScoreboard)
#include "tst_scoreboard.moc"

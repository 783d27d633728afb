#include "live/LivePublishing.h"
#include "mock/FileBytes.h"
#include "mock/FreePort.h"
#include "mock/LiveHttpClient.h"
#include "mock/TimingWindowFixture.h"
#include "platform/OpenFileLimit.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTest>

#include <arpa/inet.h>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int Flood = 1100;
constexpr rlim_t DesktopLimit = 1024;

// The flood, in a process of its own so that its sockets do not count against the program's
// limit: connections from 127.0.1.1 to 127.0.1.64 (as from many phones) that send nothing,
// held until the test closes this process's input.
int holdConnections(quint16 port, int count) {
    OpenFileLimit::raiseToHard();
    int held = 0;
    for (int i = 0; i < count; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0)
            break;
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(0x7f000101u + static_cast<quint32>(i % 64));
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(port);
        server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // The socket API's address types are a family of structs reached through casts.
        if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == 0 &&
            ::connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof(server)) == 0)
            ++held;
    }
    std::printf("held %d\n", held);
    std::fflush(stdout);
    char byte = 0;
    while (::read(STDIN_FILENO, &byte, 1) > 0) {
    }
    return 0;
}

} // namespace

// The live server under a flood of connections while the program runs with the open-file limit
// of a desktop session: results still reach the backup, and the program goes on.
class TestLiveFileLimit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resultReachesTheBackupUnderAFlood();
    void tableFilledAfterTheStart_data();
    void tableFilledAfterTheStart();
};

void TestLiveFileLimit::resultReachesTheBackupUnderAFlood() {
    rlimit original{};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &original), 0);
    if (original.rlim_max < DesktopLimit)
        QSKIP("the hard limit is below a desktop's soft limit");
    rlimit lowered = original;
    lowered.rlim_cur = DesktopLimit;
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    {
        TimingWindowFixture f;
        f.addCompetitors(3);
        LivePublishing& live = f.window().session().live();
        // An attacker's connections that look alive for as long as the test runs.
        LiveLimits limits;
        limits.idleTimeoutMs = 600000;
        limits.busyIdleTimeoutMs = 600000;
        live.setLimits(limits);
        live.setListenAddress(QHostAddress::LocalHost);
        f.window().session().settings().livePort = freeListenPort();
        f.window().actions().live->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(live.isRunning(), 5000);
        QVERIFY2(live.connectionCap() < int(DesktopLimit) - limits.reservedFiles,
                 qPrintable(QString::number(live.connectionCap())));

        QProcess flood;
        flood.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--hold"), QString::number(live.port()), QString::number(Flood)});
        QVERIFY(flood.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(flood.canReadLine(), 60000);
        QCOMPARE(flood.readLine().trimmed(), QByteArray("held ") + QByteArray::number(Flood));
        QTest::qWait(1000);
        QVERIFY(OpenFileLimit::openCount() < int(DesktopLimit) - limits.reservedFiles / 2);

        QVERIFY(f.run({"F5", "+1234", "F8", "F9"}));
        QCOMPARE(f.heatRow(1), QStringLiteral("11 123 . . ."));
        const QString backup = f.install().filePath(QStringLiteral("Velmora-Sicherungsdatei.txt"));
        QVERIFY(FileBytes::readFile(backup).contains("\t123\t"));
        // The program goes on: the next run is timed and entered as well.
        QVERIFY(f.run({"F5", "+2345", "F8", "F9"}));
        QVERIFY(FileBytes::readFile(backup).contains("\t234\t"));
        flood.closeWriteChannel();
        QVERIFY(flood.waitForFinished(10000));
    }
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &original), 0);
}

void TestLiveFileLimit::tableFilledAfterTheStart_data() {
    QTest::addColumn<bool>("ownFilesFillIt");
    QTest::newRow("limit lowered") << false;
    QTest::newRow("the program's own files take the rest") << true;
}

void TestLiveFileLimit::tableFilledAfterTheStart() {
    QFETCH(bool, ownFilesFillIt);
    constexpr int Room = 20;
    rlimit original{};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &original), 0);
    TimingWindowFixture f;
    f.addCompetitors(3);
    QList<int> taken;
    // Before the window closes, so that it closes as usual.
    const auto restore = qScopeGuard([&] {
        for (int fd : std::as_const(taken))
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &original);
    });
    LivePublishing& live = f.window().session().live();
    LiveLimits limits;
    limits.idleTimeoutMs = 600000;
    limits.busyIdleTimeoutMs = 600000;
    live.setLimits(limits);
    live.setListenAddress(QHostAddress::LocalHost);
    f.window().session().settings().livePort = freeListenPort();
    f.window().actions().live->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(live.isRunning(), 5000);

    // Room for a few connections beyond the reserve, no more.
    rlimit lowered = original;
    lowered.rlim_cur =
        static_cast<rlim_t>(OpenFileLimit::openCount() + limits.reservedFiles + Room);
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    QProcess flood;
    flood.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--hold"), QString::number(live.port()), QStringLiteral("200")});
    QVERIFY(flood.waitForStarted());
    const auto endFlood = qScopeGuard([&flood] {
        flood.closeWriteChannel();
        flood.waitForFinished(10000);
    });
    QTRY_VERIFY_WITH_TIMEOUT(flood.canReadLine(), 30000);
    QTest::qWait(1000);
    for (int fd; ownFilesFillIt && (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        taken.append(fd);

    // The window goes on, a result reaches the backup, and a further phone is told no at once.
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(10);
    QTest::qWait(500);
    QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
    QVERIFY(f.run({"F5", "+1234", "F8", "F9"}));
    const QString backup = f.install().filePath(QStringLiteral("Velmora-Sicherungsdatei.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(FileBytes::readFile(backup).contains("\t123\t"), 5000);
    QElapsedTimer asked;
    asked.start();
    const QByteArray answer = LiveHttpClient(live.port()).raw("GET / HTTP/1.1\r\n\r\n", 3000);
    QVERIFY2(answer.isEmpty() || answer.startsWith("HTTP/1.1 503"), answer.constData());
    QVERIFY2(asked.elapsed() < 2000, qPrintable(QString::number(asked.elapsed())));
}

int main(int argc, char* argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--hold") == 0)
        return holdConnections(static_cast<quint16>(QByteArray(argv[2]).toUInt()),
                               QByteArray(argv[3]).toInt());
    QApplication app(argc, argv);
    TestLiveFileLimit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_livefilelimit.moc"

// What publishing through a broker costs the timing PC, and what the audience gets: a real
// mosquitto, N subscribers in a process of their own, and the program's MqttPublisher sending
// timed runs (start, stop, result) as the race session does. Measured per run: the bytes the
// program's process writes and its CPU time, with 1 subscriber and with N; and from the
// subscribers' side whether each got every result, and the time from the entry to arrival.
//
//   publish [--subscribers N] [--runs R]
//
// The subscribers stamp arrivals with the same monotonic clock the program stamps entries
// with, so the times compare across the two processes.

#include "live/LiveSnapshot.h"
#include "publish/MqttConnection.h"
#include "publish/MqttPublisher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mosquitto.h>
#include <poll.h>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

double monotonicMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

quint16 freePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

void raiseFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Bytes this process wrote to sockets and files, and its CPU time in ms.
struct Usage {
    qint64 written = 0;
    double cpuMs = 0;
};

Usage usage() {
    Usage u;
    QFile io(QStringLiteral("/proc/self/io"));
    if (io.open(QIODevice::ReadOnly))
        for (const QByteArray& line : io.readAll().split('\n'))
            if (line.startsWith("wchar:"))
                u.written = line.mid(6).trimmed().toLongLong();
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    u.cpuMs = (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000.0 +
              (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000.0;
    return u;
}

// ---- the subscribers' process ---------------------------------------------------------------

struct Subscriber {
    mosquitto* client = nullptr;
    bool subscribed = false;
    // Arrival of each run's result, by run number.
    std::vector<double> arrivals;
};

void onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* subscriber = static_cast<Subscriber*>(self);
    const QJsonObject result =
        QJsonDocument::fromJson(
            QByteArray(static_cast<const char*>(message->payload), message->payloadlen))
            .object();
    const int run = result.value(QStringLiteral("run")).toInt();
    if (run > 0 && run < int(subscriber->arrivals.size()) && subscriber->arrivals[run] == 0)
        subscriber->arrivals[run] = monotonicMs();
}

void onConnect(mosquitto* client, void* self, int code) {
    if (code == 0 && mosquitto_subscribe(client, nullptr, "bench/ergebnis", 1) == MOSQ_ERR_SUCCESS)
        static_cast<Subscriber*>(self)->subscribed = true;
}

// Connects count clients, prints "ready", then serves them all on one thread with poll()
// until stdin closes, and writes the arrivals, one line per subscriber, to outFile.
int runSubscribers(quint16 port, int count, int runs, const QString& outFile) {
    raiseFileLimit();
    mosquitto_lib_init();
    std::vector<Subscriber> subscribers(count);
    for (Subscriber& s : subscribers) {
        s.arrivals.assign(runs + 1, 0);
        s.client = mosquitto_new(nullptr, true, &s);
        mosquitto_message_callback_set(s.client, onMessage);
        mosquitto_connect_callback_set(s.client, onConnect);
        if (mosquitto_connect(s.client, "127.0.0.1", port, 60) != MOSQ_ERR_SUCCESS) {
            std::fprintf(stderr, "subscriber could not connect\n");
            return 1;
        }
    }
    bool announced = false;
    std::vector<pollfd> fds(count + 1);
    for (;;) {
        for (int i = 0; i < count; ++i) {
            fds[i].fd = mosquitto_socket(subscribers[i].client);
            fds[i].events = POLLIN | (mosquitto_want_write(subscribers[i].client) ? POLLOUT : 0);
        }
        fds[count] = {STDIN_FILENO, POLLIN, 0};
        poll(fds.data(), fds.size(), 100);
        for (int i = 0; i < count; ++i) {
            if (fds[i].revents & POLLIN)
                mosquitto_loop_read(subscribers[i].client, 1);
            if (fds[i].revents & POLLOUT)
                mosquitto_loop_write(subscribers[i].client, 1);
            mosquitto_loop_misc(subscribers[i].client);
        }
        if (!announced && std::all_of(subscribers.begin(), subscribers.end(),
                                      [](const Subscriber& s) { return s.subscribed; })) {
            // Give the broker a moment to have every subscription in place.
            usleep(200000);
            std::printf("ready\n");
            std::fflush(stdout);
            announced = true;
        }
        if (fds[count].revents & (POLLIN | POLLHUP)) {
            char buffer[64];
            if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
                break;
        }
    }
    QFile out(outFile);
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    for (const Subscriber& s : subscribers) {
        QByteArray line;
        for (int run = 1; run <= runs; ++run)
            line += QByteArray::number(s.arrivals[run], 'f', 3) + ' ';
        out.write(line + '\n');
        mosquitto_destroy(s.client);
    }
    return 0;
}

// ---- the program's side ---------------------------------------------------------------------

class Broker {
public:
    bool start() {
        m_port = freePort();
        QByteArray config = "listener " + QByteArray::number(m_port) +
                            " 127.0.0.1\npersistence false\nallow_anonymous true\n"
                            "max_queued_messages 10000\nlog_type error\n";
        if (const passwd* me = getpwuid(getuid()))
            config += "user " + QByteArray(me->pw_name) + '\n';
        QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
            return false;
        file.close();
        m_process.start(QStringLiteral("/usr/sbin/mosquitto"), {"-c", file.fileName()});
        if (!m_process.waitForStarted(5000))
            return false;
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(200))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    ~Broker() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    quint16 port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

struct Outcome {
    double bytesPerRun = 0;
    double cpuMsPerRun = 0;
    int complete = 0; // subscribers that got every result
    int subscribers = 0;
    double p50 = 0;
    double p99 = 0;
    double worst = 0;
};

LiveSnapshot raceWith(int runs) {
    LiveSnapshot snapshot;
    snapshot.title = QStringLiteral("Vereinsmeisterschaft");
    snapshot.stages[1].caption = QStringLiteral("Vorlauf-Ergebnisse");
    snapshot.stages[1].header = {"Platz", "Nr", "Name", "Verein", "Zeit"};
    for (int i = 0; i < runs; ++i)
        snapshot.stages[0].rows.append({QString::number(i + 1), QStringLiteral("Name%1").arg(i),
                                        QStringLiteral("Verein %1").arg(i % 12)});
    return snapshot;
}

Outcome measure(const QString& self, int subscriberCount, int runs) {
    Outcome outcome;
    outcome.subscribers = subscriberCount;
    Broker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "mosquitto did not start\n");
        return outcome;
    }
    QTemporaryDir dir;
    const QString arrivalsFile = dir.filePath(QStringLiteral("arrivals"));
    QProcess subscribers;
    subscribers.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    subscribers.start(self,
                      {"--serve", QString::number(broker.port()), QString::number(subscriberCount),
                       QString::number(runs), arrivalsFile});
    if (!subscribers.waitForReadyRead(120000)) {
        std::fprintf(stderr, "the subscribers did not get ready\n");
        return outcome;
    }

    LiveSnapshot snapshot = raceWith(runs);
    double clockMs = 0;
    MqttConnection connection;
    connection.host = QStringLiteral("127.0.0.1");
    connection.port = broker.port();
    connection.prefix = QStringLiteral("bench");
    MqttPublisher publisher(
        connection, [&] { return snapshot; }, [&] { return clockMs; });
    publisher.start();
    if (!QTest::qWaitFor([&] { return publisher.isConnected(); }, 10000)) {
        std::fprintf(stderr, "the publisher did not connect\n");
        return outcome;
    }
    QTest::qWait(500);

    std::vector<double> entered(runs + 1, 0);
    const Usage before = usage();
    for (int run = 1; run <= runs; ++run) {
        clockMs = monotonicMs();
        snapshot.competitor = QStringLiteral("Name%1").arg(run - 1);
        snapshot.clock = {LiveSnapshot::Clock::State::Running, clockMs, 0, 0, {}, {}};
        publisher.sourceChanged(true);
        QTest::qWait(150);
        snapshot.clock.state = LiveSnapshot::Clock::State::Stopped;
        snapshot.clock.stoppedMs = 2000 + run;
        publisher.sourceChanged(true);
        QTest::qWait(100);
        // The entry: the result row and the last result, as the session posts them.
        entered[run] = monotonicMs();
        snapshot.clock = {};
        snapshot.lastResult = LiveSnapshot::Result{snapshot.competitor, QStringLiteral("SV"),
                                                   QString::number(2000 + run), run};
        snapshot.stages[1].rows.append({QString::number(run), QString::number(run),
                                        snapshot.competitor, QStringLiteral("SV"),
                                        QString::number(2000 + run)});
        publisher.sourceChanged(false);
        QTest::qWait(400);
    }
    const Usage after = usage();
    QTest::qWait(2000);
    publisher.shutdown();
    MqttPublisher::waitForFarewells();
    subscribers.closeWriteChannel();
    subscribers.waitForFinished(60000);

    outcome.bytesPerRun = double(after.written - before.written) / runs;
    outcome.cpuMsPerRun = (after.cpuMs - before.cpuMs) / runs;
    QFile file(arrivalsFile);
    if (!file.open(QIODevice::ReadOnly))
        return outcome;
    std::vector<double> delays;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> values = line.simplified().split(' ');
        if (values.size() != runs)
            continue;
        bool all = true;
        for (int run = 1; run <= runs; ++run) {
            const double arrival = values[run - 1].toDouble();
            if (arrival <= 0)
                all = false;
            else
                delays.push_back(arrival - entered[run]);
        }
        outcome.complete += all ? 1 : 0;
    }
    std::sort(delays.begin(), delays.end());
    if (!delays.empty()) {
        outcome.p50 = delays[delays.size() / 2];
        outcome.p99 = delays[std::min(delays.size() - 1, delays.size() * 99 / 100)];
        outcome.worst = delays.back();
    }
    return outcome;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && QByteArray(argv[1]) == "--serve")
        return runSubscribers(quint16(atoi(argv[2])), atoi(argv[3]), atoi(argv[4]),
                              QString::fromLocal8Bit(argv[5]));
    QCoreApplication app(argc, argv);
    int count = 2000;
    int runs = 50;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--subscribers"))
            count = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--runs"))
            runs = args[i + 1].toInt();
    }
    if (!QFile::exists(QStringLiteral("/usr/sbin/mosquitto"))) {
        std::fprintf(stderr, "mosquitto is not installed\n");
        return 1;
    }
    raiseFileLimit();
    std::printf("%d timed runs; the program's bytes written and CPU per run, and from entry to "
                "subscriber (ms; includes the %d ms the publisher gathers changes)\n",
                runs, MqttPublisher::minPublishIntervalMs);
    std::printf("%12s %12s %10s %10s %8s %8s %8s\n", "subscribers", "bytes/run", "CPU ms/run",
                "complete", "p50", "p99", "worst");
    for (const int n : {1, count}) {
        const Outcome o = measure(app.applicationFilePath(), n, runs);
        std::printf("%12d %12.0f %10.2f %5d/%-4d %8.1f %8.1f %8.1f\n", n, o.bytesPerRun,
                    o.cpuMsPerRun, o.complete, o.subscribers, o.p50, o.p99, o.worst);
    }
    return 0;
}

// Live results under load: timed runs in the real main window while the live server is off,
// then the same runs while --clients browsers hold the event stream open and --rate page
// requests a second arrive. The clients run in a child process (this program started with
// --client), so their parsing does not count as the window's work. Reports the p99 lateness
// of the 10 ms clock tick in both phases, the time from each result entry to its arrival at
// every client (steady clock, shared by both processes), client errors and memory.
#include "competition/Competition.h"
#include "live/widgets/LiveResultsControl.h"
#include "timing/RunClock.h"
#include "ui/TFormMain.h"
#include "ui/TimingWiring.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

namespace {

qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double percentile(QList<double> values, double p) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<qsizetype>(p * static_cast<double>(values.size() - 1));
    return values.at(index);
}

qint64 rssKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// ---- the client process ------------------------------------------------------------------

// One browser on the event stream: prints "R <time> <ns>" whenever the last result changes.
class StreamClient : public QObject {
public:
    StreamClient(quint16 port, int* errors) : m_errors(errors) {
        connect(&m_socket, &QTcpSocket::connected, this, [this] {
            m_socket.write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                           "Accept: text/event-stream\r\n\r\n");
        });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        connect(&m_socket, &QTcpSocket::disconnected, this, [this] { ++*m_errors; });
        connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] { ++*m_errors; });
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    }

private:
    void read() {
        m_buffer += m_socket.readAll();
        for (;;) {
            const qsizetype end = m_buffer.indexOf("\n\n");
            if (end < 0)
                return;
            const QByteArray event = m_buffer.left(end);
            m_buffer.remove(0, end + 2);
            const qsizetype data = event.indexOf("event: state\ndata: ");
            if (data < 0)
                continue;
            const QJsonObject state =
                QJsonDocument::fromJson(event.mid(data + 19)).object()["state"].toObject();
            const QString last = state["lastResult"].toObject()["time"].toString();
            if (!last.isEmpty() && last != m_last)
                std::printf("R %s %lld\n", qPrintable(last), static_cast<long long>(steadyNs()));
            m_last = last;
        }
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    QString m_last;
    int* m_errors;
};

int runClients(quint16 port, int clients, int rate, int seconds) {
    int streamErrors = 0;
    int pageErrors = 0;
    int requests = 0;
    std::vector<std::unique_ptr<StreamClient>> streams;
    for (int i = 0; i < clients; ++i)
        streams.push_back(std::make_unique<StreamClient>(port, &streamErrors));
    QNetworkAccessManager manager;
    const QStringList paths{"/", "/api/state.json", "/zeit.html", "/top3.html", "/live.js"};
    QTimer pages;
    pages.setTimerType(Qt::PreciseTimer);
    pages.setInterval(1000 / qMax(1, rate));
    QObject::connect(&pages, &QTimer::timeout, [&] {
        const QString path = paths.at(requests++ % paths.size());
        QNetworkReply* reply = manager.get(
            QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path))));
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, &pageErrors] {
            if (reply->error() != QNetworkReply::NoError ||
                reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
                ++pageErrors;
            reply->deleteLater();
        });
    });
    pages.start();
    QTimer::singleShot(seconds * 1000, [&] {
        pages.stop();
        std::printf("E %d %d %d %lld\n", streamErrors, pageErrors, requests,
                    static_cast<long long>(rssKiB(QCoreApplication::applicationPid())));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    QTimer flush;
    QObject::connect(&flush, &QTimer::timeout, [] { std::fflush(stdout); });
    flush.start(100);
    return QCoreApplication::exec();
}

// ---- the window process ------------------------------------------------------------------

struct Phase {
    QList<double> tickLagMs;
    std::map<QString, qint64> enteredAt; // result text -> steady ns of its entry
    int runs = 0;
};

// Timed runs of 1.5 to 3 s with an entry half a second after each stop, for `seconds`.
void timeRuns(TFormMain& window, Phase& phase, int seconds, int seed) {
    RunClock& clock = window.timingWiring().clock();
    qint64 lastTick = 0;
    const auto tick = QObject::connect(&clock, &RunClock::showTimeRequested, [&](DisplayRow row) {
        if (row != DisplayRow::Upper || clock.state() != RunClock::State::Running)
            return;
        const qint64 now = steadyNs();
        if (lastTick != 0)
            phase.tickLagMs.append(qMax(0.0, static_cast<double>(now - lastTick) / 1e6 - 10.0));
        lastTick = now;
    });
    const auto entered = QObject::connect(&clock, &RunClock::enterResultRequested, [&](qint32 ms) {
        phase.enteredAt[window.competition().timeFormat().FormatTime(ms / 10)] = steadyNs();
    });
    QElapsedTimer total;
    total.start();
    int run = 0;
    while (total.elapsed() < seconds * 1000) {
        lastTick = 0;
        window.mStartClick();
        const int length = 1500 + (run * 137 + seed * 31) % 1500;
        QElapsedTimer running;
        running.start();
        while (running.elapsed() < length)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        window.mStopClick();
        while (running.elapsed() < length + 500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        window.bEintragenClick();
        ++run;
    }
    phase.runs = run;
    QObject::disconnect(tick);
    QObject::disconnect(entered);
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption clientOption("client", "Run as the client process on this port.", "port");
    QCommandLineOption clientsOption("clients", "Browsers on the event stream.", "n", "200");
    QCommandLineOption rateOption("rate", "Page requests per second.", "n", "50");
    QCommandLineOption secondsOption("seconds", "Length of each phase.", "s", "60");
    parser.addOptions({clientOption, clientsOption, rateOption, secondsOption});
    parser.process(app);
    const int clients = parser.value(clientsOption).toInt();
    const int rate = parser.value(rateOption).toInt();
    const int seconds = parser.value(secondsOption).toInt();
    if (parser.isSet(clientOption))
        return runClients(static_cast<quint16>(parser.value(clientOption).toInt()), clients, rate,
                          seconds);

    QTemporaryDir dir;
    ProgramEnvironment environment(dir.filePath(QStringLiteral("Velmora")));
    environment.setSettingsFolder(dir.path());
    environment.setUserDataDir(dir.filePath(QStringLiteral("user")));
    environment.setAnswerProvider([](const QString&) { return true; });
    TFormMain window(environment);
    window.show();
    TSortGrid& heats = window.competition().heatStartList();
    for (int i = 1; i <= 100; ++i)
        heats.AddRow({QString::number(i), QStringLiteral("Name%1").arg(i),
                      QStringLiteral("Vorname%1").arg(i), QStringLiteral("Verein%1").arg(i % 12),
                      QString::number(1 + i % 4)});
    heats.setRow(1);

    std::printf("phase 1: server off, %d s of timed runs\n", seconds);
    std::fflush(stdout);
    Phase off;
    timeRuns(window, off, seconds, 1);
    const qint64 rssOff = rssKiB(QCoreApplication::applicationPid());

    const quint16 port = freePort();
    window.settings().livePort = port;
    window.liveResults().setListenAddress(QHostAddress::LocalHost);
    window.liveResults().setLive(true);
    QElapsedTimer wait;
    wait.start();
    while (!window.liveResults().isRunning() && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!window.liveResults().isRunning()) {
        std::printf("the server did not start: %s\n",
                    qPrintable(window.liveResults().statusText()));
        return 1;
    }
    QProcess client;
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.start(QCoreApplication::applicationFilePath(),
                 {"--client", QString::number(port), "--clients", QString::number(clients),
                  "--rate", QString::number(rate), "--seconds", QString::number(seconds + 4)});
    client.waitForStarted();
    // Let every client connect before the runs begin.
    wait.restart();
    while (wait.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::printf("phase 2: server on, %d clients, %d pages/s, %d s of timed runs\n", clients, rate,
                seconds);
    std::fflush(stdout);
    Phase on;
    timeRuns(window, on, seconds, 2);
    const qint64 rssOn = rssKiB(QCoreApplication::applicationPid());
    while (client.state() != QProcess::NotRunning)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    QList<double> updateMs;
    int missing = 0;
    std::map<QString, int> arrivals;
    QList<QByteArray> summary;
    for (const QByteArray& line : client.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.value(0) == "R" && parts.size() == 3) {
            const QString time = QString::fromUtf8(parts.at(1));
            const auto found = on.enteredAt.find(time);
            // A result of the first phase is on the stream when a client connects.
            if (found != on.enteredAt.end() && parts.at(2).toLongLong() >= found->second) {
                updateMs.append(static_cast<double>(parts.at(2).toLongLong() - found->second) /
                                1e6);
                ++arrivals[time];
            }
        } else if (parts.value(0) == "E") {
            summary = parts;
        }
    }
    for (const auto& [time, at] : on.enteredAt) {
        Q_UNUSED(at);
        missing += clients - arrivals[time];
    }
    std::printf("\nruns: %d with the server off, %d with it on\n", off.runs, on.runs);
    std::printf("clock tick lag p99: %.3f ms off, %.3f ms on (max %.3f / %.3f ms)\n",
                percentile(off.tickLagMs, 0.99), percentile(on.tickLagMs, 0.99),
                percentile(off.tickLagMs, 1.0), percentile(on.tickLagMs, 1.0));
    std::printf("entry to client update: p50 %.1f ms, p99 %.1f ms, max %.1f ms over %lld "
                "arrivals; %d arrivals missing\n",
                percentile(updateMs, 0.5), percentile(updateMs, 0.99), percentile(updateMs, 1.0),
                static_cast<long long>(updateMs.size()), missing);
    if (summary.size() == 5)
        std::printf("client errors: %s on the streams, %s of %s page requests; client process "
                    "%s KiB\n",
                    summary.at(1).constData(), summary.at(2).constData(), summary.at(3).constData(),
                    summary.at(4).constData());
    std::printf("window process memory: %lld KiB with the server off, %lld KiB on (+%lld KiB)\n",
                static_cast<long long>(rssOff), static_cast<long long>(rssOn),
                static_cast<long long>(rssOn - rssOff));
    return 0;
}

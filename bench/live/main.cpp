// Live results under load: timed runs in the real main window with --competitors in the start
// list while the live server is off, then the same runs while --clients phones (each from an
// address of its own) hold the compressed event stream open and --rate page requests a second
// arrive. The clients run in a child process (this program started with --client), so their
// work does not count as the window's. Reports the p99 lateness of the 10 ms clock tick in both
// phases, the time from each result entry to its arrival at every client, matched by run and
// competitor (steady clock, shared by both processes), errors (every refusal among them: a
// 503, a connection closed unanswered, or one that never came up; the 503s counted apart),
// the bytes each client received per run, and memory.
//
// --serve PORT keeps the window timing runs of --run-ms for ever with the server on that port,
// for looking at the pages in a browser.
#include "StreamClient.h"
#include "competition/Competition.h"
#include "live/LiveLimits.h"
#include "live/LivePublishing.h"
#include "session/RaceSession.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/MainWindow.h"

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
#include <QUrl>

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

int runClients(quint16 port, int clients, int rate, int seconds) {
    StreamClient::Totals totals;
    int pageErrors = 0;
    int requests = 0;
    std::vector<std::unique_ptr<StreamClient>> streams;
    // Phones of a venue: one address each, from 127.1.0.1 on.
    for (int i = 0; i < clients; ++i)
        streams.push_back(std::make_unique<StreamClient>(
            port, QHostAddress(0x7f010000u + static_cast<quint32>(i / 250) * 256 + 1 + i % 250),
            totals));
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
        std::printf("E %d %d %d %d %d %lld %lld %lld\n", totals.errors, totals.refused,
                    totals.refused503, pageErrors, requests,
                    static_cast<long long>(rssKiB(QCoreApplication::applicationPid())),
                    static_cast<long long>(totals.wireBytes),
                    static_cast<long long>(totals.connectBytes));
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
    std::map<QString, qint64> enteredAt; // "<run> <competitor>" -> steady ns of its entry
    int runs = 0;
};

QString runKey(int run, const QString& competitor) {
    return QString::number(run) + u' ' + competitor;
}

// Timed runs of runMs (1.5 to 3 s when 0) with an entry half a second after each stop, for
// `seconds` (for ever when 0).
void timeRuns(MainWindow& window, Phase& phase, int seconds, int seed, int runMs = 0) {
    RunClock& clock = window.session().clock();
    qint64 lastTick = 0;
    const auto tick =
        QObject::connect(&clock, &RunClock::displayedTimeChanged, [&](DisplayRow row) {
            if (row != DisplayRow::Upper || clock.state() != RunClock::State::Running)
                return;
            const qint64 now = steadyNs();
            if (lastTick != 0)
                phase.tickLagMs.append(qMax(0.0, static_cast<double>(now - lastTick) / 1e6 - 10.0));
            lastTick = now;
        });
    QElapsedTimer total;
    total.start();
    int run = 0;
    while (seconds == 0 || total.elapsed() < seconds * 1000) {
        lastTick = 0;
        window.startRun();
        const int length = runMs > 0 ? runMs : 1500 + (run * 137 + seed * 31) % 1500;
        QElapsedTimer running;
        running.start();
        while (running.elapsed() < length)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        window.stopRun();
        while (running.elapsed() < length + 500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const qint64 entry = steadyNs();
        window.enterResult();
        const std::optional<LiveSnapshot::Result> last =
            window.session().live().snapshot().lastResult;
        if (last)
            phase.enteredAt[runKey(last->run, last->competitor)] = entry;
        ++run;
        if (runMs > 0) {
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 3000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
    phase.runs = run;
    QObject::disconnect(tick);
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
    QCommandLineOption competitorsOption("competitors", "Competitors in the start list.", "n",
                                         "1000");
    QCommandLineOption serveOption("serve", "Time runs for ever, serving on this port.", "port");
    QCommandLineOption runOption("run-ms", "Length of a run with --serve.", "ms", "20000");
    QCommandLineOption streamsOption("max-streams", "Streams the server takes.", "n", "1500");
    parser.addOptions({clientOption, clientsOption, rateOption, secondsOption, competitorsOption,
                       serveOption, runOption, streamsOption});
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
    WindowSeams seams = WindowSeams::forDesktop();
    seams.answerProvider = [](const QString&) {
        return true;
    };
    RaceSession session(environment);
    session.start();
    MainWindow window(session, seams);
    window.show();
    CompetitionTable& heats = window.session().competition().heatStartList();
    for (int i = 1; i <= parser.value(competitorsOption).toInt(); ++i)
        heats.appendRow({QString::number(i), QStringLiteral("Name%1").arg(i),
                         QStringLiteral("Vorname%1").arg(i), QStringLiteral("Verein%1").arg(i % 12),
                         QString::number(1 + i % 4)});
    heats.setRow(1);

    LiveLimits limits;
    limits.maxStreams = parser.value(streamsOption).toInt();
    window.session().live().setLimits(limits);
    if (parser.isSet(serveOption)) {
        window.session().settings().livePort = parser.value(serveOption).toInt();
        window.session().live().setListenAddress(QHostAddress::LocalHost);
        window.session().live().setLive(true);
        Phase endless;
        timeRuns(window, endless, 0, 1, parser.value(runOption).toInt());
        return 0;
    }

    std::printf("phase 1: server off, %d s of timed runs\n", seconds);
    std::fflush(stdout);
    Phase off;
    timeRuns(window, off, seconds, 1);
    const qint64 rssOff = rssKiB(QCoreApplication::applicationPid());

    const quint16 port = freePort();
    window.session().settings().livePort = port;
    window.session().live().setListenAddress(QHostAddress::LocalHost);
    window.session().live().setLive(true);
    QElapsedTimer wait;
    wait.start();
    while (!window.session().live().isRunning() && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!window.session().live().isRunning()) {
        std::printf("the server did not start: %s\n",
                    qPrintable(window.session().live().statusText()));
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
        if (parts.value(0) == "R" && parts.size() == 4) {
            const QString key = runKey(parts.at(1).toInt(), QUrl::fromPercentEncoding(parts.at(3)));
            const auto found = on.enteredAt.find(key);
            // A result of the first phase is on the stream when a client connects.
            if (found != on.enteredAt.end()) {
                updateMs.append(static_cast<double>(parts.at(2).toLongLong() - found->second) /
                                1e6);
                ++arrivals[key];
            }
        } else if (parts.value(0) == "E") {
            summary = parts;
        }
    }
    for (const auto& [key, at] : on.enteredAt) {
        Q_UNUSED(at);
        missing += qMax(0, clients - arrivals[key]);
    }
    std::printf("\nruns: %d with the server off, %d with it on\n", off.runs, on.runs);
    std::printf("clock tick lag p99: %.3f ms off, %.3f ms on (max %.3f / %.3f ms)\n",
                percentile(off.tickLagMs, 0.99), percentile(on.tickLagMs, 0.99),
                percentile(off.tickLagMs, 1.0), percentile(on.tickLagMs, 1.0));
    std::printf("entry to client update: p50 %.1f ms, p99 %.1f ms, max %.1f ms over %lld "
                "arrivals; %d arrivals missing\n",
                percentile(updateMs, 0.5), percentile(updateMs, 0.99), percentile(updateMs, 1.0),
                static_cast<long long>(updateMs.size()), missing);
    if (summary.size() == 9) {
        std::printf("client errors: %s on the streams (%s refused, %s of them with 503), %s of %s "
                    "page requests; client process %s KiB\n",
                    summary.at(1).constData(), summary.at(2).constData(), summary.at(3).constData(),
                    summary.at(4).constData(), summary.at(5).constData(),
                    summary.at(6).constData());
        const double wire = summary.at(7).toDouble();
        const double connectBytes = summary.at(8).toDouble();
        std::printf("bytes per client: %.0f to connect (the whole state), %.0f per run after it "
                    "(%d runs); %.0f KB per run for all %d clients\n",
                    connectBytes / clients, (wire - connectBytes) / clients / qMax(1, on.runs),
                    on.runs, (wire - connectBytes) / qMax(1, on.runs) / 1000.0, clients);
    }
    std::printf("window process memory: %lld KiB with the server off, %lld KiB on (+%lld KiB)\n",
                static_cast<long long>(rssOff), static_cast<long long>(rssOn),
                static_cast<long long>(rssOn - rssOff));
    return 0;
}

// Light-barrier latency: scripted edges on a fake line device travel through the monitor thread
// into the main thread while the main thread is blocked for 200 ms once a second, and while
// --hogs threads keep the processors busy. Reports whether the monitor thread got real-time
// priority (and how), how far each recorded stamp lies after its edge, and how many edges
// never arrived.
#include "../../tests/mock/FakeSerialSystem.h"
#include "platform/LinuxRealtimeSystem.h"
#include "platform/RealtimePriority.h"
#include "timing/SerialPort.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <sys/ioctl.h>
#include <thread>

namespace {

struct Delivered {
    qint64 stamp;
    int edges;
};

QByteArray describe(const RealtimePriority::Outcome& outcome) {
    QString text = RealtimePriority::methodName(outcome.method);
    if (outcome.method == RealtimePriority::Method::None)
        text += QStringLiteral(" (") + outcome.reason + u')';
    else
        text += QStringLiteral(", priority %1").arg(outcome.priority);
    return text.toLocal8Bit();
}

// Busy threads of ordinary priority: what a browser or a video encoder does to the machine.
class Hogs {
public:
    explicit Hogs(int count) {
        for (int i = 0; i < count; ++i) {
            m_threads.emplace_back([this] {
                volatile quint64 spin = 0;
                while (!m_stop.load(std::memory_order_relaxed))
                    spin = spin + 1;
            });
        }
    }
    ~Hogs() {
        m_stop = true;
        for (std::thread& thread : m_threads)
            thread.join();
    }
    Hogs(const Hogs&) = delete;
    Hogs& operator=(const Hogs&) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

qint64 percentile(const std::vector<qint64>& sorted, double fraction) {
    if (sorted.empty())
        return 0;
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1));
    return sorted[index];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("edges"), QStringLiteral("Edges to play."),
                      QStringLiteral("count"), QStringLiteral("10000")});
    parser.addOption({QStringLiteral("hogs"), QStringLiteral("CPU-hog threads to run."),
                      QStringLiteral("count"), QStringLiteral("0")});
    parser.process(app);
    const int edgeTarget = std::max(1, parser.value(QStringLiteral("edges")).toInt());
    const int hogCount = std::clamp(parser.value(QStringLiteral("hogs")).toInt(), 0, 64);

    const auto clock = &SerialPort::steadyClockMicroseconds;
    auto system = std::make_shared<FakeSerialSystem>(clock);
    system->setRecording(false);
    const auto device = system->addDevice(QStringLiteral("/dev/ttyUSB0"));
    // The player stands in for the hardware's interrupt; it gets what the monitor can get.
    std::atomic<RealtimePriority::Method> playerMethod{RealtimePriority::Method::Direct};
    device->setPlayerSetup([&playerMethod] {
        playerMethod = RealtimePriority::raise(*LinuxRealtimeSystem::instance(), gettid()).method;
    });
    SerialPort port(system, clock);
    port.setPort(1);
    // System B on RI in use: the driver reports only its trailing edge, so the monitor has to
    // look for the leading one.
    port.setEvents({SerialPort::LineEvent::evCTS, SerialPort::LineEvent::evDSR,
                    SerialPort::LineEvent::evRLSD, SerialPort::LineEvent::evRing});
    port.open();
    std::printf("real-time priority of the monitor thread: %s\n",
                describe(port.realtimePriority()).constData());
    const Hogs hogs(hogCount);

    // Toggles and pulses of the four barrier lines, 0.3 to 1.5 ms apart.
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> gap(300, 1500);
    std::uniform_int_distribution<int> pick(0, 9);
    const quint32 lines[] = {TIOCM_DSR, TIOCM_CAR, TIOCM_CTS, TIOCM_RNG};
    std::vector<FakeLineDevice::Step> steps;
    std::vector<int> edgesPerStep;
    quint32 levels = 0;
    qint64 at = clock() + 50000;
    int scripted = 0;
    while (scripted < edgeTarget) {
        at += gap(random);
        const quint32 line = lines[pick(random) % 4];
        if (pick(random) < 2 && scripted + 2 <= edgeTarget) {
            steps.push_back(FakeLineDevice::pulseStep(at, line));
            edgesPerStep.push_back(2);
            scripted += 2;
        } else {
            levels ^= line;
            steps.push_back(FakeLineDevice::setStep(at, line, levels));
            edgesPerStep.push_back(1);
            scripted += 1;
        }
    }
    const qint64 scriptEnd = at;

    std::vector<Delivered> delivered;
    int deliveredEdges = 0;
    QObject::connect(&port, &SerialPort::lineEvent, &port,
                     [&](quint32, quint32, qint64 stamp, int edges) {
                         delivered.push_back({stamp, edges});
                         deliveredEdges += edges;
                     });
    int blocks = 0;
    QTimer blocker;
    QObject::connect(&blocker, &QTimer::timeout, &app, [&] {
        ++blocks;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    });
    blocker.start(1000);
    QTimer finish;
    QObject::connect(&finish, &QTimer::timeout, &app, [&] {
        const bool allPlayed = device->appliedAt().size() == steps.size();
        if ((allPlayed && deliveredEdges >= scripted) || clock() > scriptEnd + 3000000)
            app.quit();
    });
    finish.start(20);
    device->play(steps);
    app.exec();
    port.close();

    // Edges in the order they happened, each with the stamp of the event that carried it.
    const std::vector<qint64> applied = device->appliedAt();
    std::vector<qint64> edgeTimes;
    for (std::size_t i = 0; i < applied.size(); ++i)
        edgeTimes.insert(edgeTimes.end(), static_cast<std::size_t>(edgesPerStep[i]), applied[i]);
    std::vector<qint64> latencies;
    std::size_t edge = 0;
    for (const Delivered& event : delivered) {
        for (int k = 0; k < event.edges && edge < edgeTimes.size(); ++k, ++edge)
            latencies.push_back(event.stamp - edgeTimes[edge]);
    }
    std::sort(latencies.begin(), latencies.end());
    const int lost = std::max(0, scripted - deliveredEdges);
    const qint64 p50 = percentile(latencies, 0.50);
    const qint64 p99 = percentile(latencies, 0.99);
    const qint64 worst = latencies.empty() ? 0 : latencies.back();
    std::printf("edge player: %s; CPU-hog threads: %d\n",
                RealtimePriority::methodName(playerMethod).toLocal8Bit().constData(), hogCount);
    std::printf("edges scripted %d, delivered %d, lost %d, events %zu, main-thread blocks %d\n",
                scripted, deliveredEdges, lost, delivered.size(), blocks);
    std::printf("stamp - edge time: p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", p50 / 1000.0,
                p99 / 1000.0, worst / 1000.0);
    const bool met = p99 <= 500 && lost == 0;
    std::printf("goal (p99 <= 0.5 ms, 0 lost): %s\n", met ? "met" : "missed");
    return met ? 0 : 1;
}

// Journal load on the user-interface thread: 10,000 light-barrier impulses in 10 s arrive as
// queued events, as the port's monitor thread delivers them, while the run clock ticks every
// 10 ms. Prints the tick lag (time past the due 10 ms) without and with the journal, the cost
// of journaling one impulse on that thread, and the bytes the writer put on the disk.
#include "journal/JournalRecorder.h"
#include "journal/JournalWriter.h"
#include "timing/BarrierLogic.h"
#include "timing/MonotonicTickSource.h"
#include "timing/RunClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

struct Figures {
    double p50 = 0, p99 = 0, max = 0;
};

Figures figures(std::vector<qint64> values) {
    Figures f;
    if (values.empty())
        return f;
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        return values[std::min(values.size() - 1, static_cast<size_t>(q * values.size()))] / 1000.0;
    };
    f.p50 = at(0.50);
    f.p99 = at(0.99);
    f.max = values.back() / 1000.0;
    return f;
}

// Runs the clock for `seconds`, with `impulses` line changes spread over that time when a
// recorder is given; returns the lag of every tick in microseconds.
std::vector<qint64> runPhase(RunClock& clock, JournalRecorder* recorder, int seconds, int impulses,
                             std::vector<qint64>& journalCost) {
    std::vector<qint64> lags;
    qint64 last = 0;
    auto tick =
        QObject::connect(&clock, &RunClock::displayedTimeChanged, &clock, [&](DisplayRow row) {
            if (row != DisplayRow::Upper)
                return;
            const qint64 now = MonotonicTickSource::rawMicroseconds();
            if (last != 0)
                lags.push_back(std::max<qint64>(0, now - last - RunClock::clockIntervalMs * 1000));
            last = now;
        });
    std::atomic<bool> done{false};
    std::thread feeder;
    if (recorder) {
        feeder = std::thread([&] {
            const qint64 begin = MonotonicTickSource::rawMicroseconds();
            const qint64 spacing = seconds * 1'000'000LL / impulses;
            quint32 status = 0;
            for (int i = 0; i < impulses; ++i) {
                const qint64 due = begin + i * spacing;
                while (MonotonicTickSource::rawMicroseconds() < due)
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                status ^= BarrierLogic::lapLineBit;
                const qint64 stamp = MonotonicTickSource::rawMicroseconds();
                QMetaObject::invokeMethod(
                    recorder,
                    [recorder, status, stamp, &journalCost] {
                        QElapsedTimer cost;
                        cost.start();
                        recorder->lineChanged(BarrierLogic::lapEventBit, status, stamp);
                        journalCost.push_back(cost.nsecsElapsed());
                    },
                    Qt::QueuedConnection);
            }
            done = true;
        });
    }
    QTimer::singleShot(seconds * 1000, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    if (feeder.joinable())
        feeder.join();
    QCoreApplication::processEvents();
    QObject::disconnect(tick);
    return lags;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    MonotonicTickSource ticks;
    RunClock clock(ticks);
    TimingSettings settings;
    settings.timerMs = 0;
    clock.startUp(settings);
    clock.start();

    JournalWriter writer(dir.path(), QStringLiteral("Velmora"));
    JournalRecorder recorder(ticks, [&](const JournalEntry& e) { writer.append(e); });

    std::vector<qint64> unused;
    const Figures without = figures(runPhase(clock, nullptr, 10, 0, unused));
    std::vector<qint64> cost;
    const Figures with = figures(runPhase(clock, &recorder, 10, 10000, cost));
    writer.flush(5000);
    const Figures perImpulse = figures(cost);

    std::printf("tick lag without journal: p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", without.p50,
                without.p99, without.max);
    std::printf("tick lag with 10000 impulses journaled in 10 s: p50 %.3f ms, p99 %.3f ms, "
                "max %.3f ms\n",
                with.p50, with.p99, with.max);
    std::printf("p99 added lag: %.3f ms\n", with.p99 - without.p99);
    std::printf("journaling one impulse on the UI thread: p50 %.1f us, p99 %.1f us, max %.1f us "
                "(%zu impulses)\n",
                perImpulse.p50, perImpulse.p99, perImpulse.max, cost.size());
    std::printf("bytes written: %lld (%s)\n", static_cast<long long>(writer.bytesWritten()),
                qPrintable(writer.pathFor(QDate::currentDate())));
    return 0;
}

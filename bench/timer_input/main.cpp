// Timer input: a timer on a pseudo-terminal sends --lines ALGE printer lines at --baud (paced as
// the line would carry them) through the real port, the parser, the input on the run clock and
// the journal writer. Reports, from each line's last byte written to its entry handed to the
// journal, the median, p99 and the longest, and whether every line was journaled once.
#include "journal/JournalRecorder.h"
#include "journal/JournalWriter.h"
#include "journal/TimerJournalEntry.h"
#include "timing/BarrierLogic.h"
#include "timing/MonotonicTickSource.h"
#include "timing/RunClock.h"
#include "timing/TimerInput.h"
#include "timing/TimerPort.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

QByteArray line(int index) {
    // 8.1 ms apart from 08:00:00, alternately start and stop.
    const qint64 stamp = 8LL * 3600 * 10000 + qint64(index) * 81;
    return QStringLiteral(" %1 %2  %3 00    \r")
        .arg(index % 10000, 4, 10, QLatin1Char('0'))
        .arg(index % 2 == 0 ? QStringLiteral("c0") : QStringLiteral("c1"))
        .arg(TimerImpulse::stampText(stamp))
        .toLatin1();
}

qint64 percentile(std::vector<qint64> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * double(values.size() - 1));
    return values[at];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.addHelpOption();
    options.addOption({QStringLiteral("lines"), QStringLiteral("Lines sent."), QStringLiteral("n"),
                       QStringLiteral("10000")});
    options.addOption({QStringLiteral("baud"), QStringLiteral("Line rate."), QStringLiteral("bd"),
                       QStringLiteral("38400")});
    options.process(app);
    const int lines = options.value(QStringLiteral("lines")).toInt();
    const int baud = options.value(QStringLiteral("baud")).toInt();

    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    QTemporaryDir folder;
    auto ticks = std::make_shared<MonotonicTickSource>();
    RunClock clock(*ticks);
    BarrierLogic barriers(clock);
    TimerInput input(clock, barriers.backupStop());
    input.configure(*TimerLineProfile::find(QStringLiteral("alge")), slave,
                    {QStringLiteral("c0"), QString(), QStringLiteral("c1"), QString()}, 100'000);
    JournalWriter writer(folder.path(), QStringLiteral("Bench"));
    std::vector<qint64> journaled(std::size_t(lines), -1);
    // Written on the port's thread, where the session journals too.
    std::atomic<int> entries{0};
    std::atomic<int> twice{0};
    JournalRecorder recorder(*ticks, [&](const JournalEntry& e) {
        const qint64 now = MonotonicTickSource::rawMicroseconds();
        writer.append(e);
        if (e.source != JournalRecorder::timerSource() || e.kind != JournalEntry::Kind::LineChange)
            return;
        const int index = e.number.toInt();
        if (index < 0 || index >= lines)
            return;
        if (journaled[std::size_t(index)] >= 0)
            ++twice;
        journaled[std::size_t(index)] = now;
        ++entries;
    });
    // The session's path: every impulse read becomes the timer's journal entry on the port's
    // thread.
    QObject::connect(
        &input, &TimerInput::impulseRead, &recorder,
        [&recorder](const TimerImpulse& impulse, TimerInput::Role role, TimerInput::Arrival arrival,
                    qint64 stamp, qint64 arrivalStamp) {
            recorder.add(TimerJournalEntry::impulse(impulse, role, arrival, stamp, arrivalStamp));
        },
        Qt::DirectConnection);
    TimerPort port(nullptr, [] { return MonotonicTickSource::rawMicroseconds(); });
    QObject::connect(&port, &TimerPort::lineReceived, &input, &TimerInput::takeLine,
                     Qt::DirectConnection);
    if (!port.open(slave, quint32(baud), QByteArrayLiteral("\r"))) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(slave),
                     qPrintable(port.lastError()));
        return 1;
    }

    std::vector<qint64> written(std::size_t(lines), 0);
    std::atomic<bool> done{false};
    std::thread timer([&] {
        const qint64 begin = MonotonicTickSource::rawMicroseconds();
        qint64 due = begin;
        for (int i = 0; i < lines; ++i) {
            const QByteArray bytes = line(i);
            // A line takes 10 bits a byte on the wire.
            due += qint64(bytes.size()) * 10 * 1'000'000 / baud;
            while (MonotonicTickSource::rawMicroseconds() < due)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            if (::write(master, bytes.constData(), size_t(bytes.size())) != bytes.size())
                break;
            written[std::size_t(i)] = MonotonicTickSource::rawMicroseconds();
        }
        done = true;
    });
    QTimer check;
    check.setInterval(100);
    QObject::connect(&check, &QTimer::timeout, &app, [&] {
        if (done && entries >= lines)
            app.quit();
    });
    check.start();
    QTimer::singleShot(std::max(10'000, lines * 20), &app, &QCoreApplication::quit);
    app.exec();
    timer.join();
    port.close();
    writer.flush(5000);

    std::vector<qint64> latency;
    for (int i = 0; i < lines; ++i) {
        if (journaled[std::size_t(i)] >= 0 && written[std::size_t(i)] > 0)
            latency.push_back(journaled[std::size_t(i)] - written[std::size_t(i)]);
    }
    const TimerInput::Counts counts = input.counts();
    std::printf("lines %d at %d baud: journaled %d (twice %d), unreadable %d, repeated %d\n", lines,
                baud, entries.load(), twice.load(), counts.unreadable, counts.repeated);
    std::printf("line end -> journal: median %lld us, p99 %lld us, max %lld us (goal p99 < 1000)\n",
                static_cast<long long>(percentile(latency, 0.5)),
                static_cast<long long>(percentile(latency, 0.99)),
                static_cast<long long>(percentile(latency, 1.0)));
    std::printf("journal bytes written %lld\n", static_cast<long long>(writer.bytesWritten()));
    ::close(master);
    const bool ok = entries == lines && twice == 0 && percentile(latency, 0.99) < 1000;
    return ok ? 0 : 2;
}

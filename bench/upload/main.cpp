// What the upload to a web host costs for a large race: the static site of a race of
// --competitors random competitors with all runs timed, the bytes of each file, how long the
// uploader's thread takes to build it, and the bytes that go up after one change (a new title
// of the race changes every page, as a result does; the clock alone changes state.json). With --url
// (for example a local WebDAV server) it also uploads the site and times a first round and the
// round after a change.
#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"
#include "live/Gzip.h"
#include "live/LiveSnapshotBuilder.h"
#include "live/LiveStaticSite.h"
#include "publish/WebUploader.h"
#include "timing/MonotonicTickSource.h"
#include "timing/RunClock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

QList<LiveStaticSite::File> site(const LiveSnapshot& snapshot, qint64 version) {
    return LiveStaticSite::build(snapshot, {}, {1000.0, "bench", version});
}

qint64 changedBytes(const QList<LiveStaticSite::File>& before,
                    const QList<LiveStaticSite::File>& after) {
    qint64 bytes = 0;
    for (qsizetype i = 0; i < after.size(); ++i)
        if (i >= before.size() || before[i].bytes != after[i].bytes)
            bytes += after[i].bytes.size();
    return bytes;
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Seconds until the uploader reports a whole round, or -1 on a failure.
double timeRound(WebUploader& uploader) {
    QElapsedTimer timer;
    timer.start();
    const QString before = uploader.statusText();
    uploader.sourceChanged();
    if (!waitFor([&] { return uploader.statusText() != before || uploader.isFailing(); }, 120000) ||
        uploader.isFailing())
        return -1;
    return double(timer.elapsed()) / 1000.0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption competitorsOption("competitors", "Competitors in the race.", "n", "1000");
    QCommandLineOption urlOption("url", "Upload to this folder as well.", "url");
    QCommandLineOption userOption("user", "Login at the host.", "name");
    QCommandLineOption passwordOption("password", "Password at the host.", "text");
    QCommandLineOption caOption("ca-file", "Certificate that vouches for the host.", "file");
    parser.addOptions({competitorsOption, urlOption, userOption, passwordOption, caOption});
    parser.process(app);

    Competition competition(TimeFormat(1, u','));
    RandomGenerator rng;
    RandomProtocol::fillRandomStartList(competition, rng, parser.value(competitorsOption).toInt());
    StageDerivation derivation(competition);
    derivation.deriveAll();
    MonotonicTickSource ticks;
    RunClock clock(ticks);
    LiveSnapshotBuilder::WindowTexts texts{QStringLiteral("Stadtmeisterschaft"), {}, {}, {}};
    LiveSnapshot snapshot = LiveSnapshotBuilder::build(competition, clock, texts);

    QElapsedTimer timer;
    timer.start();
    const QList<LiveStaticSite::File> first = site(snapshot, 1);
    const double buildMs = double(timer.nsecsElapsed()) / 1e6;
    qint64 total = 0;
    qint64 packed = 0;
    std::printf("%-12s %10s %10s\n", "file", "bytes", "gzip");
    for (const LiveStaticSite::File& file : first) {
        const qint64 compressed = Gzip::compress(file.bytes).size();
        std::printf("%-12s %10lld %10lld\n", qPrintable(file.name), qint64(file.bytes.size()),
                    compressed);
        total += file.bytes.size();
        packed += compressed;
    }
    std::printf("%-12s %10lld %10lld\nbuilt in %.1f ms\n", "all", total, packed, buildMs);

    LiveSnapshot clockOnly = snapshot;
    clockOnly.clock.state = LiveSnapshot::Clock::State::Running;
    clockOnly.clock.startMs = 5000;
    LiveSnapshot retitled = snapshot;
    retitled.title = QStringLiteral("Stadtmeisterschaft, 2. Tag");
    std::printf("after a start of the clock: %lld bytes\nafter a new title: %lld bytes\n",
                changedBytes(first, site(clockOnly, 2)), changedBytes(first, site(retitled, 2)));

    if (!parser.isSet(urlOption))
        return 0;
    UploadTarget target;
    target.url = parser.value(urlOption);
    target.user = parser.value(userOption);
    target.password = parser.value(passwordOption);
    target.caFile = parser.value(caOption);
    target.intervalS = 1;
    QTemporaryDir queue;
    LiveSnapshot current = snapshot;
    WebUploader uploader(target, queue.path(), [&current] {
        return WebUploader::Round{current, 1000.0, {}, {}};
    });
    uploader.start();
    const double whole = timeRound(uploader);
    waitFor([] { return false; }, 1100);
    current = retitled;
    const double changed = timeRound(uploader);
    std::printf("upload: whole site %.2f s, after a new title %.2f s (%s)\n", whole, changed,
                qPrintable(uploader.statusText()));
    return whole < 0 || changed < 0 ? 1 : 0;
}

// A timer on a pseudo-terminal: plays a line dump at its own pace (the gaps between the times in
// its lines, by the line format), so the program can be timed from it as from a real timer. The
// pty's slave is linked under --link, the name the program's settings take as the device; the
// program may be started before or after. --unplug-after n closes the pty after n lines and
// opens a new one under the same link --unplug-ms later, as a replugged adapter.
#include "timing/TimerLineParser.h"
#include "timing/TimerLineProfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

int openPty(const QString& link) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return -1;
    termios raw{};
    if (tcgetattr(master, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
    }
    QFile::remove(link);
    QFile::link(QString::fromLocal8Bit(ptsname(master)), link);
    std::printf("timer on %s (%s)\n", ptsname(master), qPrintable(link));
    std::fflush(stdout);
    return master;
}

QList<QByteArray> dumpLines(const QByteArray& bytes, const QByteArray& terminators) {
    QList<QByteArray> lines;
    QByteArray line;
    for (char c : bytes) {
        line.append(c);
        if (terminators.contains(c) && line.size() > 1) {
            lines << line;
            line.clear();
        } else if (terminators.contains(c) && !lines.isEmpty()) {
            lines.last().append(c);
            line.clear();
        }
    }
    return lines;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("dump"), QStringLiteral("The line dump."));
    options.addOption({QStringLiteral("format"), QStringLiteral("alge, microgate, tagheuer."),
                       QStringLiteral("id"), QStringLiteral("alge")});
    options.addOption({QStringLiteral("link"), QStringLiteral("Where the pty is linked."),
                       QStringLiteral("path"), QStringLiteral("/tmp/velmora-timer")});
    options.addOption({QStringLiteral("wait"), QStringLiteral("Seconds before the first line."),
                       QStringLiteral("s"), QStringLiteral("5")});
    options.addOption({QStringLiteral("speed"), QStringLiteral("Pace factor (2 = twice as fast)."),
                       QStringLiteral("x"), QStringLiteral("1")});
    options.addOption({QStringLiteral("unplug-after"), QStringLiteral("Lines before unplugging."),
                       QStringLiteral("n"), QStringLiteral("0")});
    options.addOption({QStringLiteral("unplug-ms"), QStringLiteral("How long it stays unplugged."),
                       QStringLiteral("ms"), QStringLiteral("3000")});
    options.process(app);
    const TimerLineProfile* profile =
        TimerLineProfile::find(options.value(QStringLiteral("format")));
    QFile dump(options.positionalArguments().value(0));
    if (!profile || !dump.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "usage: timer_player --format alge dump.txt\n");
        return 1;
    }
    const QString link = options.value(QStringLiteral("link"));
    const double speed = qMax(0.01, options.value(QStringLiteral("speed")).toDouble());
    const int unplugAfter = options.value(QStringLiteral("unplug-after")).toInt();
    int master = openPty(link);
    if (master < 0)
        return 1;
    std::this_thread::sleep_for(
        std::chrono::milliseconds(options.value(QStringLiteral("wait")).toInt() * 1000));
    TimerLineParser pacing(*profile);
    std::optional<qint64> last;
    int sent = 0;
    for (const QByteArray& line : dumpLines(dump.readAll(), profile->terminators)) {
        QByteArray text = line;
        while (!text.isEmpty() && profile->terminators.contains(text.back()))
            text.chop(1);
        const TimerLineParser::Line read = pacing.parse(text);
        const bool timed =
            read.kind != TimerLineParser::Line::Kind::Unreadable && !read.impulse.channel.isEmpty();
        // A long pause in the dump is cut to a minute.
        if (timed && last) {
            const qint64 gap =
                std::clamp<qint64>(read.impulse.continuousStamp() - *last, 0, 600'000);
            std::this_thread::sleep_for(std::chrono::microseconds(qint64(gap * 100 / speed)));
        }
        if (timed)
            last = read.impulse.continuousStamp();
        if (::write(master, line.constData(), size_t(line.size())) != line.size())
            return 1;
        std::printf("%s\n", text.constData());
        std::fflush(stdout);
        if (++sent == unplugAfter) {
            // The last line is read before the cable goes.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            ::close(master);
            std::printf("unplugged\n");
            std::this_thread::sleep_for(
                std::chrono::milliseconds(options.value(QStringLiteral("unplug-ms")).toInt()));
            master = openPty(link);
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ::close(master);
    return 0;
}

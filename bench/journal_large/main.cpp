// A large journal (a chattering contact writes 200 MB in a day) against the window: the
// start-up with and without it, "Zeitprotokoll..." (Ctrl+J) over it, and the user-interface
// thread's time for one impulse while the dialog is open. Prints the figures and the memory.
#include "../common/ChatteringJournal.h"
#include "journal/JournalLineFormat.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalWriter.h"
#include "journal/widgets/JournalDialog.h"
#include "journal/widgets/JournalImpulseModel.h"
#include "journal/widgets/JournalWiring.h"
#include "session/ProgramEnvironment.h"
#include "timing/BarrierLogic.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr qint64 JournalBytes = 200LL * 1024 * 1024;

ProgramEnvironment environmentIn(const QString& dir) {
    ProgramEnvironment environment(QDir(dir).filePath(QStringLiteral("Velmora")));
    environment.setDataDir(dir);
    environment.setUserDataDir(dir);
    environment.setSettingsFolder(dir);
    environment.setDecimalSeparator(u',');
    environment.setApplicationLookup([](const char*) { return false; });
    return environment;
}

// Today's journal of a contact that chattered all day, with one run at its end.
void writeJournal(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QByteArray chunk;
    const JournalEntry e = writeChatteringDay(file, JournalBytes, chunk);
    JournalEntry run = e;
    run.kind = JournalEntry::Kind::Command;
    run.source = QStringLiteral("Lichtschranke");
    run.name = QStringLiteral("Start");
    run.stamp = *e.stamp + 1'000'000;
    chunk += JournalLineFormat::format(run).toUtf8() + '\n';
    run.name = QStringLiteral("Stopp");
    run.stamp = *run.stamp + 12'340'000;
    chunk += JournalLineFormat::format(run).toUtf8() + '\n';
    file.write(chunk);
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

double startUpMs(const QString& dir) {
    QElapsedTimer clock;
    clock.start();
    auto session = std::make_unique<RaceSession>(environmentIn(dir));
    session->start();
    auto window = std::make_unique<MainWindow>(*session);
    window->show();
    QCoreApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    window.reset();
    session.reset();
    return ms;
}

// Milliseconds this thread has run: on a busy machine the wall clock also counts the time
// other programs had the processor.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir plain;
    QTemporaryDir large;
    writeJournal(
        QDir(large.path())
            .filePath(JournalWriter::fileName(QStringLiteral("Velmora"), QDate::currentDate())));
    std::vector<double> without, with;
    for (int i = 0; i < 3; ++i) {
        without.push_back(startUpMs(plain.path()));
        with.push_back(startUpMs(large.path()));
    }
    std::printf("start-up without journal: %.0f ms, with a 200 MB journal: %.0f ms (+%.0f ms)\n",
                median(without), median(with), median(with) - median(without));

    RaceSession session(environmentIn(large.path()));
    session.start();
    MainWindow window(session);
    window.show();
    QCoreApplication::processEvents();
    const long before = residentKb();
    QElapsedTimer clock;
    clock.start();
    window.actions().journal->trigger();
    JournalDialog* dialog = window.journal()->dialog();
    while (dialog && !dialog->isVisible())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    std::printf("Ctrl+J over 200 MB: %.0f ms, %d rows shown, run time %d ms, memory +%ld kB\n",
                clock.nsecsElapsed() / 1e6, dialog ? dialog->model()->rowCount() : -1,
                dialog ? dialog->runTimeMs().value_or(-1) : -1, residentKb() - before);

    // The journaling and the new row, then the repaint the event loop does afterwards.
    std::vector<double> handled, drawn, cpu;
    quint32 status = 0;
    for (int i = 0; i < 2000; ++i) {
        status ^= BarrierLogic::lapLineBit;
        const double cpuBefore = threadCpuMs();
        clock.start();
        window.journal()->recorder().lineChanged(BarrierLogic::lapEventBit, status,
                                                 2'000'000'000'000LL + i * 1000);
        handled.push_back(clock.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
        drawn.push_back(clock.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - cpuBefore);
    }
    const auto report = [](const char* what, std::vector<double> costs) {
        std::sort(costs.begin(), costs.end());
        std::printf("one impulse with the dialog open, %s: p50 %.3f ms, p99 %.3f ms, max %.3f ms\n",
                    what, costs[costs.size() / 2], costs[costs.size() * 99 / 100], costs.back());
    };
    report("journaled and added", handled);
    report("with the repaint", drawn);
    report("with the repaint, thread CPU time", cpu);
    std::printf("%d rows shown, memory +%ld kB since Ctrl+J\n",
                dialog ? dialog->model()->rowCount() : -1, residentKb() - before);
    return 0;
}

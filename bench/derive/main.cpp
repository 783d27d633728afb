// Times DeriveAll (heat results, team ranking, final start list, final results) on random
// protocols of growing size and prints the median of several runs per size. Both the wall
// time and the thread's CPU time are shown; on a machine shared with other work the CPU time
// is the steadier figure, and the ratio is taken from it.
#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

struct Timing {
    double wallMs;
    double cpuMs;
};

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Timing measure(int competitors, int runs) {
    Competition competition(TimeFormat(1, u','));
    RandomGenerator rng;
    RandomProtocol::fillRandomStartList(competition, rng, competitors);
    StageDerivation derivation(competition);
    derivation.DeriveAll(); // warm-up: the derived tables reach their size
    QList<double> wall;
    QList<double> cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        derivation.DeriveAll();
        wall.append(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cpu.append(threadCpuMs() - cpuStart);
    }
    return Timing{median(wall), median(cpu)};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Sizes may be given on the command line, for profiling one of them.
    QList<int> sizes{100, 1000, 10000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i)
            sizes.append(QString::fromLocal8Bit(argv[i]).toInt());
    }
    double cpu1000 = 0;
    double cpu10000 = 0;
    for (int size : sizes) {
        if (size < 1)
            continue;
        const Timing t = measure(size, size >= 10000 ? 11 : 31);
        std::printf("DeriveAll %6d competitors: median wall %8.3f ms, cpu %8.3f ms\n", size,
                    t.wallMs, t.cpuMs);
        if (size == 1000)
            cpu1000 = t.cpuMs;
        if (size == 10000)
            cpu10000 = t.cpuMs;
    }
    std::printf("ratio t(10000)/t(1000) (cpu): %.2f\n", cpu1000 > 0 ? cpu10000 / cpu1000 : 0.0);
    return 0;
}

// Times deriveAll (heat results, team ranking, final start list, final results) on random
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
    derivation.deriveAll(); // warm-up: the derived tables reach their size
    QList<double> wall;
    QList<double> cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        derivation.deriveAll();
        wall.append(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cpu.append(threadCpuMs() - cpuStart);
    }
    return Timing{median(wall), median(cpu)};
}

// One deriveAll on a prepared competition, in thread CPU milliseconds.
double deriveOnce(StageDerivation& derivation) {
    const double start = threadCpuMs();
    derivation.deriveAll();
    return threadCpuMs() - start;
}

// The ratio of the two sizes, measured in alternating pairs so that both sizes see the same
// machine: a neighbour's load or a frequency change shifts both, not only one of them.
double pairedRatio(int small, int large, int pairs) {
    Competition smallCompetition(TimeFormat(1, u','));
    Competition largeCompetition(TimeFormat(1, u','));
    RandomGenerator rng;
    RandomProtocol::fillRandomStartList(smallCompetition, rng, small);
    RandomProtocol::fillRandomStartList(largeCompetition, rng, large);
    StageDerivation smallDerivation(smallCompetition);
    StageDerivation largeDerivation(largeCompetition);
    smallDerivation.deriveAll();
    largeDerivation.deriveAll();
    QList<double> ratios;
    for (int i = 0; i < pairs; ++i) {
        // The small size is timed as the median of a few runs, being short enough to be noisy.
        QList<double> smallRuns;
        for (int k = 0; k < 5; ++k)
            smallRuns.append(deriveOnce(smallDerivation));
        const double largeRun = deriveOnce(largeDerivation);
        ratios.append(largeRun / median(smallRuns));
    }
    return median(ratios);
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
    for (int size : sizes) {
        if (size < 1)
            continue;
        const Timing t = measure(size, size >= 10000 ? 11 : 31);
        std::printf("DeriveAll %6d competitors: median wall %8.3f ms, cpu %8.3f ms\n", size,
                    t.wallMs, t.cpuMs);
    }
    if (argc <= 1)
        std::printf("ratio t(10000)/t(1000) (cpu, median of 21 alternating pairs): %.2f\n",
                    pairedRatio(1000, 10000, 21));
    return 0;
}

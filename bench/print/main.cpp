// Times the page count and the PDF of every page of a 10,000-row heat start list, laid out
// for the default A4 page at 1200 dpi as the preview and "PDF speichern..." use it. The
// median of several runs is printed, wall time and the thread's CPU time.
#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableView.h"
#include "print/GridPrinter.h"
#include "print/PrinterSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F> void measure(const char* what, int runs, F&& work) {
    QList<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        work();
        cpu.append(threadCpuMs() - cpuStart);
        wall.append(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("%-28s median wall %9.2f ms  cpu %9.2f ms  (%d runs)\n", what, median(wall),
                median(cpu), runs);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    Competition competition(TimeFormat(1, u','));
    RandomGenerator rng;
    RandomProtocol::fillRandomStartList(competition, rng, rows);
    CompetitionTableView view(&competition.heatStartList(), &competition.timeFormat());
    const QList<int> widths = StageTables::columnWidths(StageTables::HeatStartList, 740);
    for (int c = 0; c < widths.size(); ++c) {
        view.setColumnHidden(c, widths[c] < 0);
        if (widths[c] >= 0)
            view.setColumnWidth(c, widths[c]);
    }
    PrinterSetup printers([] { return false; });
    printers.setScreenDpi(96);
    const GridPrinter printer(view, printers);
    competition.heatStartList().printOptions().pageTitle =
        QStringLiteral("      Vorlauf-Startliste");

    std::printf("%d rows, %d pages\n", competition.heatStartList().rowsWithHeader() - 1,
                printer.pageCount());
    measure("PageCount", 21, [&] { (void)printer.pageCount(); });
    qsizetype bytes = 0;
    measure("PDF of all pages", 3, [&] { bytes = printer.pdfDocument().size(); });
    std::printf("PDF size %lld bytes\n", static_cast<long long>(bytes));
    return 0;
}

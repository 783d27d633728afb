// Loading and saving the protocol file of a large competition; both should stay under 100 ms.
#include "competition/StageTables.h"
#include "competition/TSortGrid.h"
#include "output/ProtocolFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kCompetitors = 10000;
constexpr int kRepeats = 5;
constexpr double kGoalMs = 100.0;

void fill(TSortGrid& table) {
    table.setRowCells(0, StageTables::defaultCaptions(StageTables::HeatStartList));
    table.SetRowCount(kCompetitors + 1);
    for (int i = 1; i <= kCompetitors; ++i) {
        table.setRowCells(
            i, {QString::number(i), QStringLiteral("Müller-Lüdenscheidt %1").arg(i),
                QStringLiteral("Jörg"), QStringLiteral("SV Süd Großhausen"),
                QString::number(i % 4 + 1), i % 7 == 0 ? QStringLiteral("+") : QString(),
                QStringLiteral("1:0%1,%2").arg(i % 10).arg(i % 100, 2, 10, QLatin1Char('0')),
                QStringLiteral("58,12"), QStringLiteral("-"), QString(), QString()});
    }
}

double bestOf(const std::function<bool()>& step, bool& ok) {
    double best = 1e9;
    for (int k = 0; k < kRepeats; ++k) {
        QElapsedTimer timer;
        timer.start();
        ok = step() && ok;
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora-Sicherungsdatei.txt");
    TSortGrid table(StageTables::columnCount(StageTables::HeatStartList));
    table.setTag(StageTables::HeatStartList);
    fill(table);

    bool ok = true;
    const double save =
        bestOf([&] { return bool(ProtocolFile::SaveProtocolText(table, path)); }, ok);
    TSortGrid loaded(StageTables::columnCount(StageTables::HeatStartList));
    const double load = bestOf([&] { return ProtocolFile::LoadProtocolText(loaded, path); }, ok);
    ok = ok && loaded.RowCount() == kCompetitors + 1;

    std::printf("protocol file, %d competitors, best of %d\n", kCompetitors, kRepeats);
    std::printf("  save: %8.2f ms (goal < %.0f ms)%s\n", save, kGoalMs,
                save < kGoalMs ? "" : "  SLOW");
    std::printf("  load: %8.2f ms (goal < %.0f ms)%s\n", load, kGoalMs,
                load < kGoalMs ? "" : "  SLOW");
    if (!ok)
        std::printf("  FAILED: the file did not round-trip\n");
    return ok && save < kGoalMs && load < kGoalMs ? 0 : 1;
}

// Loading and saving the protocol file of a large competition (both should stay under 100 ms),
// and what a result entry costs when the backup is written durably before it returns: a run
// entered into a list of 1,000 competitors should take under 20 ms. The backup goes into a
// temporary folder, or into the folder given as the first argument (to measure a real disk).
#include "competition/Competition.h"
#include "competition/CompetitionTable.h"
#include "competition/ResultEntry.h"
#include "competition/StageTables.h"
#include "output/BackupWriter.h"
#include "output/ProtocolFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCompetitors = 10000;
constexpr int kRepeats = 5;
constexpr double kGoalMs = 100.0;
constexpr int kEntries = 60;
constexpr double kEntryGoalMs = 20.0;

void fill(CompetitionTable& table, int competitors) {
    table.setRowCells(0, StageTables::defaultCaptions(StageTables::HeatStartList));
    table.setRowsWithHeader(competitors + 1);
    for (int i = 1; i <= competitors; ++i) {
        table.setRowCells(
            i, {QString::number(i), QStringLiteral("Müller-Lüdenscheidt %1").arg(i),
                QStringLiteral("Jörg"), QStringLiteral("SV Süd Großhausen"),
                QString::number(i % 4 + 1), i % 7 == 0 ? QStringLiteral("+") : QString(),
                QStringLiteral("1:0%1,%2").arg(i % 10).arg(i % 100, 2, 10, QLatin1Char('0')),
                QString(), QString(), QString(), QString()});
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

struct EntryTimes {
    double median = 0;
    double worst = 0;
    bool ok = true;
};

// Runs entered one after the other, each written to the backup before the entry returns.
EntryTimes timeEntries(const QString& folder, int competitors) {
    Competition competition(TimeFormat(TimeFormat::Seconds, u','));
    CompetitionTable& heat = competition.heatStartList();
    fill(heat, competitors);
    heat.setRow(1);
    BackupWriter writer(heat, QDir(folder).filePath("Velmora-Sicherungsdatei.txt"));
    EntryTimes result;
    result.ok = writer.saveNow();
    QObject::connect(&writer, &BackupWriter::saved, [&result](bool ok) { result.ok &= ok; });
    std::vector<double> times;
    for (int k = 0; k < kEntries; ++k) {
        QElapsedTimer timer;
        timer.start();
        ResultEntry::enterRunTime(competition, 0, 61230 + 10 * k);
        ResultEntry::selectNextRow(competition, 0);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    result.median = times[times.size() / 2];
    result.worst = times.back();
    return result;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    const QString path = dir.filePath("Velmora-Protokoll.txt");
    CompetitionTable table(StageTables::columnCount(StageTables::HeatStartList));
    table.setTag(StageTables::HeatStartList);
    fill(table, kCompetitors);

    bool ok = true;
    const double save =
        bestOf([&] { return bool(ProtocolFile::SaveProtocolText(table, path)); }, ok);
    CompetitionTable loaded(StageTables::columnCount(StageTables::HeatStartList));
    const double load = bestOf(
        [&] {
            const auto rows = ProtocolFile::readProtocolFile(path, loaded);
            if (rows)
                ProtocolFile::replaceRows(loaded, *rows);
            return rows.has_value();
        },
        ok);
    ok = ok && loaded.rowsWithHeader() == kCompetitors + 1;

    std::printf("protocol file, %d competitors, best of %d\n", kCompetitors, kRepeats);
    std::printf("  save: %8.2f ms (goal < %.0f ms)%s\n", save, kGoalMs,
                save < kGoalMs ? "" : "  SLOW");
    std::printf("  load: %8.2f ms (goal < %.0f ms)%s\n", load, kGoalMs,
                load < kGoalMs ? "" : "  SLOW");
    if (!ok)
        std::printf("  FAILED: the file did not round-trip\n");

    std::printf("result entry with the backup synced to disk, %d entries, in %s\n", kEntries,
                qPrintable(folder));
    bool entriesFast = true;
    for (const int competitors : {1000, 3000, 10000}) {
        const EntryTimes times = timeEntries(folder, competitors);
        const bool goal = competitors > 1000 || times.median < kEntryGoalMs;
        entriesFast = entriesFast && goal && times.ok;
        std::printf("  %5d competitors: median %6.2f ms, worst %6.2f ms%s%s\n", competitors,
                    times.median, times.worst,
                    competitors == 1000 ? (goal ? " (goal < 20 ms)" : " (goal < 20 ms)  SLOW") : "",
                    times.ok ? "" : "  FAILED: a backup write failed");
    }
    return ok && entriesFast && save < kGoalMs && load < kGoalMs ? 0 : 1;
}

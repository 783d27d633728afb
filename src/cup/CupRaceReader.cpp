#include "cup/CupRaceReader.h"

#include "competition/ClassKey.h"
#include "competition/Competition.h"
#include "competition/RunState.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"
#include "competition/TimeFormat.h"
#include "competition/TimeNotation.h"
#include "output/ProtocolFile.h"
#include "platform/RegularFile.h"

#include <QCryptographicHash>
#include <QSet>

#include <map>

using namespace StageTables;

namespace {

// As the program opens protocol files: a file chosen by mistake must not fill the memory.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
const QString kIncomplete = QStringLiteral("o.E.");

// One competitor of a class is one start number; a number typed twice into two classes stays
// two competitors.
QString rowKey(const QString& number, const QString& cls) {
    return number.trimmed() + u'\x1f' + cls.trimmed();
}

struct ClassResult {
    QList<CupEntry> finalists;  // ranked by the final, in its order
    QList<CupEntry> heatRanked; // ranked by the heat, in its order, places still to give
    QList<CupEntry> unplaced;   // states of the final, of the heat, incomplete runs
};

CupEntry entryOf(const CompetitionTable& grid, int row, int nrCol) {
    CupEntry entry;
    entry.number = grid.cell(nrCol, row).trimmed();
    entry.name = grid.cell(nrCol + 1, row).trimmed();
    entry.firstName = grid.cell(nrCol + 2, row).trimmed();
    entry.club = grid.cell(nrCol + 3, row).trimmed();
    entry.cls = grid.cell(nrCol + 4, row).trimmed();
    return entry;
}

bool numbered(const CompetitionTable& grid, int row, int nrCol) {
    return !grid.cell(nrCol, row).trimmed().isEmpty();
}

// Finalists of the final results: with an end time ranked with their "Pl.", with a state in
// their final runs listed without a place.
void collectFinal(const Competition& competition, std::map<ClassKey, ClassResult>& classes,
                  QSet<QString>& finalists) {
    const CompetitionTable& results = competition.finalResults();
    if (!results.hasData())
        return;
    const TimeFormat& format = competition.timeFormat();
    for (int r = 1; r < results.rowsWithHeader(); ++r) {
        if (!numbered(results, r, FinalRes::Nr))
            continue;
        CupEntry entry = entryOf(results, r, FinalRes::Nr);
        entry.finalist = true;
        entry.total = format.ParseTime(results.cell(FinalRes::GZeit, r));
        ClassResult& result = classes[ClassKey::fromText(entry.cls)];
        const QString endTime = results.cell(FinalRes::Endzeit, r);
        if (const auto state = RunState::fromText(endTime)) {
            entry.status = RunState::text(*state);
            finalists.insert(rowKey(entry.number, entry.cls));
            result.unplaced.append(entry);
        } else if (format.ParseTime(endTime) > 0) {
            entry.place = results.cell(FinalRes::Pl, r).trimmed().toInt();
            finalists.insert(rowKey(entry.number, entry.cls));
            result.finalists.append(entry);
        }
    }
}

// The heat results without the finalists: ranked rows after the finalists of their class,
// rows with a state in "G-Zeit" without a place.
void collectHeat(const Competition& competition, std::map<ClassKey, ClassResult>& classes,
                 const QSet<QString>& finalists, QSet<QString>& inHeatResults) {
    const CompetitionTable& results = competition.heatResults();
    const TimeFormat& format = competition.timeFormat();
    for (int r = 1; r < results.rowsWithHeader(); ++r) {
        if (!numbered(results, r, HeatRes::Nr))
            continue;
        CupEntry entry = entryOf(results, r, HeatRes::Nr);
        const QString key = rowKey(entry.number, entry.cls);
        inHeatResults.insert(key);
        if (finalists.contains(key))
            continue;
        ClassResult& result = classes[ClassKey::fromText(entry.cls)];
        const QString total = results.cell(HeatRes::GZeit, r);
        if (const auto state = RunState::fromText(total)) {
            entry.status = RunState::text(*state);
            result.unplaced.append(entry);
            continue;
        }
        entry.total = format.ParseTime(total);
        if (entry.total > 0)
            result.heatRanked.append(entry);
    }
}

// Numbered rows of the heat start list the heat results left out: their runs are incomplete.
void collectIncomplete(const Competition& competition, std::map<ClassKey, ClassResult>& classes,
                       const QSet<QString>& inHeatResults) {
    const CompetitionTable& heat = competition.heatStartList();
    for (int r = 1; r < heat.rowsWithHeader(); ++r) {
        if (!numbered(heat, r, Heat::Nr))
            continue;
        CupEntry entry = entryOf(heat, r, Heat::Nr);
        if (inHeatResults.contains(rowKey(entry.number, entry.cls)))
            continue;
        entry.status = kIncomplete;
        classes[ClassKey::fromText(entry.cls)].unplaced.append(entry);
    }
}

// Places after the ranked finalists; equal totals share the place of the first of them.
void placeHeatRanked(ClassResult& result) {
    const int before = static_cast<int>(result.finalists.size());
    for (qsizetype i = 0; i < result.heatRanked.size(); ++i) {
        CupEntry& entry = result.heatRanked[i];
        if (i > 0 && entry.total == result.heatRanked.at(i - 1).total)
            entry.place = result.heatRanked.at(i - 1).place;
        else
            entry.place = before + static_cast<int>(i) + 1;
    }
}

} // namespace

QList<CupEntry> CupRaceReader::fromProtocolBytes(const QByteArray& bytes) {
    // Built here and owned here: reading a race touches nothing the window's thread uses.
    const TimeFormat hundredths(TimeFormat::Hundredths, u',');
    Competition competition(hundredths);
    CompetitionTable& heat = competition.heatStartList();
    QList<QStringList> rows = ProtocolFile::parseProtocolBytes(
        bytes, heat.rowCells(0), defaultCaptions(HeatStartList), heat.columns());
    TimeNotation::convert(rows, hundredths);
    ProtocolFile::replaceRows(heat, rows);
    StageDerivation(competition).deriveAll();

    std::map<ClassKey, ClassResult> classes;
    QSet<QString> finalists;
    QSet<QString> inHeatResults;
    collectFinal(competition, classes, finalists);
    collectHeat(competition, classes, finalists, inHeatResults);
    collectIncomplete(competition, classes, inHeatResults);

    QList<CupEntry> entries;
    for (auto& [key, result] : classes) {
        placeHeatRanked(result);
        entries += result.finalists;
        entries += result.heatRanked;
        entries += result.unplaced;
    }
    return entries;
}

std::optional<CupRaceReader::Read> CupRaceReader::fromFile(const QString& fileName,
                                                           QString* error) {
    const auto bytes = fileBytes(fileName, error);
    if (!bytes)
        return std::nullopt;
    return Read{fromProtocolBytes(*bytes), sha256Hex(*bytes)};
}

std::optional<QByteArray> CupRaceReader::fileBytes(const QString& fileName, QString* error,
                                                   const QString& tooLarge) {
    RegularFile::Content content = RegularFile::read(fileName, kMaxFileBytes);
    QString reason;
    switch (content.status) {
    case RegularFile::Status::Read:
        return std::move(content.bytes);
    case RegularFile::Status::Missing:
        reason = QStringLiteral("Datei nicht gefunden: %1");
        break;
    case RegularFile::Status::NotRegular:
        reason = QStringLiteral("%1 ist keine gewöhnliche Datei");
        break;
    case RegularFile::Status::TooLarge:
        reason = QStringLiteral("%1 ist größer als 64 MB und kann %2 sein").arg(u"%1", tooLarge);
        break;
    case RegularFile::Status::Failed:
        reason = QStringLiteral("Der Lesefehler der Datei: %1");
        break;
    }
    if (error)
        *error = reason.arg(fileName);
    return std::nullopt;
}

QByteArray CupRaceReader::sha256Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

#include "cup/CupRaceCheck.h"

#include "cup/CupDefinition.h"
#include "cup/CupFile.h"
#include "cup/CupRaceReader.h"

namespace CupRaceCheck {

namespace {

Result checkRace(const CupRace& race, int position, const QString& cupFileName) {
    const QString path = CupFile::racePath(race, cupFileName);
    // Only the checksum matters here; the results are read when the organiser accepts.
    QString reason;
    const auto bytes = CupRaceReader::fileBytes(path, &reason);
    if (!bytes)
        return {Result::State::Unreadable, QStringLiteral("Lauf %1: %2").arg(position).arg(reason)};
    if (CupRaceReader::sha256Hex(*bytes).compare(race.sha256, Qt::CaseInsensitive) == 0)
        return {};
    return {Result::State::Changed,
            QStringLiteral("Lauf %1 wurde nach dem Hinzufügen geändert").arg(position)};
}

} // namespace

QList<Result> check(const CupDefinition& cup, const QString& cupFileName) {
    QList<Result> results;
    results.reserve(cup.races.size());
    for (qsizetype i = 0; i < cup.races.size(); ++i)
        results.append(checkRace(cup.races.at(i), static_cast<int>(i) + 1, cupFileName));
    return results;
}

bool reread(CupRace& race, const QString& cupFileName, QString* error) {
    auto read = CupRaceReader::fromFile(CupFile::racePath(race, cupFileName), error);
    if (!read)
        return false;
    race.entries = std::move(read->entries);
    race.sha256 = read->sha256;
    return true;
}

} // namespace CupRaceCheck

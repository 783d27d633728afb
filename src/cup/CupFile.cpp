#include "cup/CupFile.h"

#include "cup/CupFileWords.h"
#include "cup/CupRaceReader.h"
#include "output/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

namespace CupFile {

namespace {

using namespace CupFileWords;

void line(QString& out, const QString& key, const QStringList& values) {
    out += key;
    for (const QString& value : values)
        out += u'\t' + field(value);
    out += u'\n';
}

void line(QString& out, const QString& key, const QString& value) {
    line(out, key, QStringList{value});
}

QStringList identityFields(const CupIdentity& identity) {
    return {identity.name, identity.firstName, identity.club};
}

QString cupFolder(const QString& cupFileName) {
    return QFileInfo(cupFileName).absolutePath();
}

// Below or beside the cup file: relative, so that the folder can move as a whole (to another
// computer, onto a stick). Anywhere else: absolute.
QString storedPath(const QString& file, const QString& cupFileName) {
    if (QDir::isRelativePath(file))
        return QDir::fromNativeSeparators(file);
    const QString relative = QDir(cupFolder(cupFileName)).relativeFilePath(file);
    if (QDir::isRelativePath(relative) && !relative.startsWith(QStringLiteral("../")) &&
        relative != QStringLiteral(".."))
        return relative;
    return QDir::cleanPath(file);
}

void writeRules(QString& out, const CupRules& rules) {
    line(out, QStringLiteral("Wertung"), scoring(rules.scoring));
    line(out, QStringLiteral("Punkte"), pointsTable(rules.pointsTable));
    line(out, QStringLiteral("Formel"), rules.formula);
    line(out, QStringLiteral("Kappung"),
         rules.cutOffPercent ? decimal(*rules.cutOffPercent) : QString());
    line(out, QStringLiteral("Statusregel"), statusRule(rules.statusRule));
    line(out, QStringLiteral("Statuswert"), hundredths(rules.statusValue));
    line(out, QStringLiteral("Beste"), QString::number(rules.bestOf));
    line(out, QStringLiteral("Mindeststarts"), QString::number(rules.minStarts));
    QStringList chain;
    for (const CupRules::TieBreak step : rules.tieBreaks)
        chain.append(tieBreak(step));
    line(out, QStringLiteral("Gleichstand"), chain.join(QStringLiteral(", ")));
    line(out, QStringLiteral("Vereinsmitglieder"), QString::number(rules.clubMembers));
    line(out, QStringLiteral("Vereinswertung"), clubScope(rules.clubScope));
    line(out, QStringLiteral("Geplant"), QString::number(rules.plannedRaces));
}

void writeRace(QString& out, const CupRace& race, const QString& cupFileName) {
    out += u'\n';
    line(out, QStringLiteral("Lauf"), storedPath(race.file, cupFileName));
    line(out, QStringLiteral("Prüfsumme"), QString::fromLatin1(race.sha256));
    line(out, QStringLiteral("Titel"), race.title);
    line(out, QStringLiteral("Gewichtung"), QString::number(race.weightPercent));
    for (auto it = race.voidedClasses.cbegin(); it != race.voidedClasses.cend(); ++it)
        line(out, QStringLiteral("Annulliert"), {it.key(), it.value()});
    for (const CupEntry& entry : race.entries) {
        line(out, QStringLiteral("Eintrag"),
             {entry.cls, QString::number(entry.place), entry.status, QString::number(entry.total),
              entry.number, entry.name, entry.firstName, entry.club,
              entry.finalist ? QStringLiteral("ja") : QStringLiteral("nein")});
    }
}

} // namespace

QByteArray bytes(const CupDefinition& cup, const QString& cupFileName) {
    QString out;
    out += kMagic + u' ' + QString::number(kVersion) + u'\n';
    line(out, QStringLiteral("Name"), cup.name);
    writeRules(out, cup.rules);
    for (const CupRace& race : cup.races)
        writeRace(out, race, cupFileName);
    if (!cup.matches.confirmed().isEmpty() || !cup.matches.rejected().isEmpty())
        out += u'\n';
    for (const CupMatches::Pair& pair : cup.matches.confirmed())
        line(out, QStringLiteral("Bestätigt"),
             identityFields(pair.first) + identityFields(pair.second));
    for (const CupMatches::Pair& pair : cup.matches.rejected())
        line(out, QStringLiteral("Abgelehnt"),
             identityFields(pair.first) + identityFields(pair.second));
    return out.toUtf8();
}

std::optional<QString> save(const CupDefinition& cup, const QString& fileName) {
    if (const auto failure = AtomicFile::write(fileName, bytes(cup, fileName))) {
        return QStringLiteral("Die Cup-Datei %1 ließ sich nicht speichern (%2).")
            .arg(fileName, failure->text());
    }
    return std::nullopt;
}

std::optional<CupDefinition> load(const QString& fileName, QString* error) {
    const auto bytes = CupRaceReader::fileBytes(fileName, error, QStringLiteral("keine Cup-Datei"));
    if (!bytes)
        return std::nullopt;
    QString parseError;
    auto cup = parse(*bytes, &parseError);
    if (!cup && error)
        *error = fileName + QStringLiteral(": ") + parseError;
    return cup;
}

QString racePath(const CupRace& race, const QString& cupFileName) {
    if (QDir::isAbsolutePath(race.file))
        return QDir::cleanPath(race.file);
    return QDir::cleanPath(QDir(cupFolder(cupFileName)).absoluteFilePath(race.file));
}

void makeAbsolute(CupDefinition& cup, const QString& cupFileName) {
    for (CupRace& race : cup.races)
        race.file = racePath(race, cupFileName);
}

} // namespace CupFile

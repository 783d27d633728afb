#include "output/BackupStartup.h"

#include "competition/CompetitionTable.h"
#include "competition/TimeNotation.h"
#include "output/ProtocolFile.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace BackupStartup {

namespace {

// Moves the directory entry itself, whatever it is (a FIFO, a link, a file nobody may read).
bool moveEntry(const QString& from, const QString& to) {
    if (RegularFile::entryExists(to))
        return false;
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

QString keptName(const QString& path, const QDateTime& now) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    const QString dotSuffix = suffix.isEmpty() ? QString() : u'.' + suffix;
    const QString stamped = stem + u'-' + now.toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss"));
    QString candidate = stamped + dotSuffix;
    for (int n = 2; RegularFile::entryExists(candidate); ++n)
        candidate = stamped + u'-' + QString::number(n) + dotSuffix;
    return candidate;
}

Outcome load(CompetitionTable& heatStartList, const ProgramPaths::BackupLocation& location,
             const QDateTime& now, const std::optional<TimeFormat>& notation) {
    Outcome outcome;
    outcome.readPath = location.readPath;
    outcome.writePath = location.writePath;
    if (RegularFile::entryExists(location.readPath)) {
        if (auto rows = ProtocolFile::readProtocolFile(location.readPath, heatStartList,
                                                       &outcome.trailer)) {
            // Read in the wrong notation the times would be empty or absurd; there is nobody to
            // ask yet, and the values stay the same, so they are converted and the notice says so.
            if (notation) {
                outcome.converted = TimeNotation::plan(*rows, *notation);
                TimeNotation::convert(*rows, *notation);
            }
            ProtocolFile::replaceRows(heatStartList, *rows);
            outcome.loaded = true;
        } else {
            outcome.unreadable = true;
        }
    }
    const bool writeTargetLoaded = outcome.loaded && location.readPath == location.writePath;
    if (!writeTargetLoaded && RegularFile::entryExists(location.writePath)) {
        const QString kept = keptName(location.writePath, now);
        if (moveEntry(location.writePath, kept))
            outcome.keptAs = kept;
        else
            outcome.writePath = kept;
    }
    return outcome;
}

QString statusText(const Outcome& outcome) {
    QStringList parts;
    // The unreadable file itself was in the way of the first write and is kept.
    const bool keptUnreadable =
        outcome.unreadable && !outcome.keptAs.isEmpty() && outcome.readPath == outcome.writePath;
    if (outcome.unreadable) {
        QString part = QStringLiteral("Der Lesefehler der Datei: ") + outcome.readPath;
        if (keptUnreadable)
            part += QStringLiteral(", aufbewahrt als ") + outcome.keptAs;
        parts.append(part);
    }
    if (outcome.relocated())
        parts.append(QStringLiteral("Sicherungsdatei jetzt unter ") + outcome.writePath);
    if (!outcome.keptAs.isEmpty() && !keptUnreadable)
        parts.append(QStringLiteral("die ältere Datei dort ist aufbewahrt als ") + outcome.keptAs);
    if (outcome.loaded && outcome.converted.cells > 0)
        parts.append(QStringLiteral("Sicherungsdatei: ") +
                     TimeNotation::summary(outcome.converted));
    return parts.join(QStringLiteral("; "));
}

QString messageText(const Outcome& outcome) {
    if (!outcome.unreadable)
        return QString();
    QString text = QStringLiteral("Der Lesefehler der Datei: ") + outcome.readPath + u'\n';
    if (!outcome.keptAs.isEmpty() && outcome.readPath == outcome.writePath)
        text += QStringLiteral("Sie bleibt unverändert erhalten unter: ") + outcome.keptAs;
    else
        text += QStringLiteral("Sie bleibt unverändert erhalten.");
    text += QStringLiteral("\nDie Eingaben werden jetzt gesichert in: ") + outcome.writePath;
    return text;
}

} // namespace BackupStartup

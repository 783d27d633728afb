#pragma once

#include "competition/StartListCommands.h"
#include "competition/TimeFormat.h"
#include "platform/ProgramPaths.h"

#include <QDateTime>
#include <QString>
#include <optional>

class CompetitionTable;

// Start-up of the backup file: loads it into the heat start list and makes sure that the first
// write cannot replace a file whose content is not in the table. Such a file (one that cannot be
// read, or an older backup in the place the competition moves to) is kept beside under a name
// with the date and time, and the outcome says what the operator has to be told.
namespace BackupStartup {

struct Outcome {
    QString readPath;  // the file start-up tried to load
    QString writePath; // where every backup goes from now on
    bool loaded = false;
    bool unreadable = false; // readPath exists but could not be loaded
    QString keptAs;          // where the file at the write path was kept; empty when none was
    // The times the file held in another notation than the one set, now in the one set.
    StartListCommands::TimeConversion converted;
    // What the loaded file held behind its table (the released classes, see ReleaseSection).
    QByteArray trailer;
    // The backup goes on in another file than the one it was read from.
    bool relocated() const { return (loaded || unreadable) && readPath != writePath; }
};

// Loads the backup (leaving the table as it is when it cannot be read) and clears the way for
// the first write. If the file in the way cannot be moved, writes go to the kept name instead.
// Times written in another notation than `notation` come in converted to it; without a
// notation they stay as written.
Outcome load(CompetitionTable& heatStartList, const ProgramPaths::BackupLocation& location,
             const QDateTime& now = QDateTime::currentDateTime(),
             const std::optional<TimeFormat>& notation = std::nullopt);

// "Velmora-Sicherungsdatei.txt" -> "Velmora-Sicherungsdatei-2026-12-09-14-03-22.txt" in the
// same folder; "-2", "-3", ... after the time when that name is taken.
QString keptName(const QString& path, const QDateTime& now);

// The status bar text for the outcome; empty when there is nothing to tell.
QString statusText(const Outcome& outcome);
// The message box text; empty unless a backup could not be read.
QString messageText(const Outcome& outcome);

} // namespace BackupStartup

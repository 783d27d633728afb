#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"
#include "output/FileWriteResult.h"

#include <QByteArray>
#include <QString>

// The standings as a semicolon file like the program's tables: the cup's name, then one section
// per class (its caption, the captions row, the rows, the voided races' notes) and one per club
// table, an empty line between them. Dropped values stand in brackets. Windows-1252, CR LF; a
// cell holding a semicolon or a quote is quoted, so no name splits a row.
namespace CupCsv {

QByteArray csvBytes(const CupStandings& standings, const QString& cupName,
                    CupRules::Scoring scoring);

// Writes atomically; on failure the old file stays and the message is
// "Der Schreibfehler der Datei: " + fileName.
FileWriteResult write(const QString& fileName, const CupStandings& standings,
                      const QString& cupName, CupRules::Scoring scoring);

} // namespace CupCsv

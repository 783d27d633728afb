#pragma once

#include "output/FileWriteResult.h"

#include <QByteArray>
#include <QString>

class CompetitionTable;

// The semicolon variant of a table: every row and column, cells as they stand, ";" between
// cells, CR LF after each row, Windows-1252.
namespace CsvFile {

// Line breaks inside a cell become blanks, characters outside the code page '?'.
QByteArray csvBytes(const CompetitionTable& table);

// Writes atomically; on failure the old file stays and the message is
// "Can't write to file:" CR + fileName.
FileWriteResult SaveToCsv(const CompetitionTable& table, const QString& fileName);

} // namespace CsvFile

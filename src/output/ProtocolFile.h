#pragma once

#include "output/FileWriteResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TSortGrid;

// The protocol text file: the heat start list as tab-terminated Windows-1252 lines. The same
// format is the backup file that carries a competition over a restart or a crash.
namespace ProtocolFile {

// The file's bytes for the table: rows with an empty "Nr." are left out, header included.
// Tabs, line breaks and the end-of-file byte inside a cell become blanks so that the file can
// be read back cell for cell; characters outside the code page become '?'.
QByteArray protocolBytes(const TSortGrid& heatStartList);

// Writes atomically; on failure the old file stays and the message is
// "Der Schreibfehler der Datei: " + fileName.
FileWriteResult SaveProtocolText(const TSortGrid& heatStartList, const QString& fileName);

// The rows that the bytes of a protocol file give, header first: at least two rows of exactly
// colCount cells. The header row repaired with defaultCaptions, "Meister" cells other than "+"
// emptied. An empty file gives currentHeader (repaired) and one empty row.
QList<QStringList> parseProtocolBytes(const QByteArray& bytes, const QStringList& currentHeader,
                                      const QStringList& defaultCaptions, int colCount);

// Replaces the heat start list by the file's rows when the file can be opened and read (and is
// not larger than 64 MiB), and returns true; otherwise returns false and leaves the table
// untouched. The modified flag follows the table's row-count rule: set unless the table had, and
// still has, two rows. Rebuilding the derived tables is left to the caller.
bool LoadProtocolText(TSortGrid& heatStartList, const QString& fileName);

} // namespace ProtocolFile

#pragma once

#include "output/FileWriteResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class CompetitionTable;

// The protocol text file: the heat start list as tab-terminated Windows-1252 lines. The same
// format is the backup file that carries a competition over a restart or a crash.
namespace ProtocolFile {

// The file's bytes for the table: rows with an empty "Nr." are left out, header included.
// Tabs, line breaks and the end-of-file byte inside a cell become blanks so that the file can
// be read back cell for cell; characters outside the code page become '?'.
QByteArray protocolBytes(const CompetitionTable& heatStartList);

// Writes atomically, the table and then `trailer` (what follows its end-of-file byte, see
// ReleaseSection); on failure the old file stays and the message is
// "Der Schreibfehler der Datei: " + fileName.
FileWriteResult SaveProtocolText(const CompetitionTable& heatStartList, const QString& fileName,
                                 const QByteArray& trailer = {});

// The rows that the bytes of a protocol file give, header first: at least two rows of exactly
// colCount cells. Lines end at CR LF, LF or a lone CR; a byte 0x1A ends the file. The header row
// repaired with defaultCaptions, "Meister" cells other than "+" emptied. An empty file gives
// currentHeader (repaired) and one empty row.
QList<QStringList> parseProtocolBytes(const QByteArray& bytes, const QStringList& currentHeader,
                                      const QStringList& defaultCaptions, int colCount);

// True when a row below the header has a "Nr.", so that a save keeps it.
bool rowsHaveData(const QList<QStringList>& rows);

// The rows of the file as parseProtocolBytes gives them, or nullopt when the file cannot be
// read: missing, not a regular file (a FIFO, a device or a link to one is never opened for
// reading), larger than 64 MiB as counted while reading, a read error, or content after the
// header line that gives no row with a "Nr." (a save would empty it). What follows the
// end-of-file byte, that byte first, goes to trailer when one is given.
std::optional<QList<QStringList>> readProtocolFile(const QString& fileName,
                                                   const CompetitionTable& heatStartList,
                                                   QByteArray* trailer = nullptr);

// Puts the rows into the heat start list as a load does. The modified flag follows the table's
// row-count rule: set unless the table had, and still has, two rows. Rebuilding the derived
// tables is left to the caller.
void replaceRows(CompetitionTable& heatStartList, const QList<QStringList>& rows);

} // namespace ProtocolFile

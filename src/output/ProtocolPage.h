#pragma once

#include "competition/CellPresentation.h"
#include "output/FileWriteResult.h"

#include <QByteArray>
#include <QString>

class CompetitionTable;

// The "Zeitenprotokoll" web page of one stage table: a fixed page template filled with the
// program title, the tab caption and the table, every inserted text HTML-escaped and without
// control characters. A run state keeps its colours from the screen; a substitute time gets a
// raised "E", explained below the table.
namespace ProtocolPage {

// The maker's names on the page.
inline constexpr char16_t kMakerHost[] = u"www.quarnek.de";
inline constexpr char16_t kMakerSite[] = u"http://www.quarnek.de";
inline constexpr char16_t kDesignerHost[] = u"www.quarnek.de";

// &, <, > and " as entities; control characters (tab, line breaks, C0, DEL, C1) as blanks.
QString escapeHtml(const QString& text);

// The number of columns on the page: the heat start list leaves out "Zeit4" and "Zeit5".
int pageColumnCount(const CompetitionTable& table);

// The page's bytes (Windows-1252, CR LF). releaseText, whether the results are official, stands
// below the caption; nothing when it is empty.
QByteArray pageBytes(const CompetitionTable& table, const QString& programTitle,
                     const QString& tabCaption, const SubstituteSource& substitutes = {},
                     const QString& releaseText = {});

// Writes atomically; on failure the old file stays and the message is
// "Der Schreibfehler der Datei: " + fileName.
FileWriteResult WriteProtocolPage(const QString& fileName, const CompetitionTable& table,
                                  const QString& programTitle, const QString& tabCaption,
                                  const SubstituteSource& substitutes = {},
                                  const QString& releaseText = {});

} // namespace ProtocolPage

#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"
#include "output/FileWriteResult.h"

#include <QByteArray>
#include <QString>

// The standings as a web page of one file: the cup's name and races, a table per class with a
// column per race (a dropped value struck through and in brackets, a voided race "annulliert"),
// the total and the gap, the marks of a row, the voided races' notes, then the club tables.
// UTF-8, every inserted text escaped, styled for the screen and for paper alike.
namespace CupHtmlPage {

QByteArray pageBytes(const CupStandings& standings, const QString& cupName,
                     CupRules::Scoring scoring);

// Writes atomically; on failure the old file stays and the message is
// "Der Schreibfehler der Datei: " + fileName.
FileWriteResult write(const QString& fileName, const CupStandings& standings,
                      const QString& cupName, CupRules::Scoring scoring);

} // namespace CupHtmlPage

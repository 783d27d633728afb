#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"
#include "output/FileWriteResult.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The standings as an Excel workbook: a sheet per class ("Klasse 3") with the captions row in
// bold, the values as numbers (a dropped one struck through), the marks and the voided races'
// notes, and a sheet "Vereine" with the club tables one below the other. Columns are as wide as
// their longest text, since libxlsxwriter cannot fit them.
namespace CupWorkbook {

// nullopt with the reason when libxlsxwriter fails.
std::optional<QByteArray> build(const CupStandings& standings, const QString& cupName,
                                CupRules::Scoring scoring, QString* error = nullptr);

// Writes atomically; on failure the old file stays and the message is
// "Der Schreibfehler der Datei: " + fileName.
FileWriteResult write(const QString& fileName, const CupStandings& standings,
                      const QString& cupName, CupRules::Scoring scoring);

} // namespace CupWorkbook

#pragma once

#include "competition/Competition.h"

#include <QString>
#include <QStringList>
#include <optional>

// A small derived competition for the certificate tests: shared places in the heats and the
// final, an error row, a finalist without both final runs, umlauts, "&" and "<" in names,
// and one complete team.
namespace CertificateSample {

// Fills the heat start list and derives every stage.
void fill(Competition& c);

// Each page's text as pdftotext reads it; nothing when pdftotext is not installed.
std::optional<QStringList> pdfPageTexts(const QString& fileName);

} // namespace CertificateSample

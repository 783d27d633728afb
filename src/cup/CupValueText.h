#pragma once

#include "cup/CupRules.h"

#include <QString>

// A value of the standings as text: points "100" or "87,50", a time "123,45" (seconds, always
// with hundredths), a place "7" (or "4,50" when a weight made it a part of a place).
namespace CupValueText {

QString format(qint64 hundredths, CupRules::Scoring scoring);
// "Punkte", "Zeit", "Plätze"
QString unit(CupRules::Scoring scoring);

} // namespace CupValueText

#pragma once

#include "competition/CertificateFields.h"
#include "cup/CupRules.h"
#include "cup/CupStandings.h"

#include <QList>
#include <QString>

// The certificates of a cup's best: one set of placeholder values per ranked competitor up to
// a place, class by class in the standings' order, for the program's certificate templates.
namespace CupCertificates {

// Competitors who share a place up to `places` all get one; places 0 gives every ranked
// competitor one. {Titel} and {Cup} read the cup's name, {Punkte} the total as the standings
// show it, {Zeit} the total in seconds with its unit ("123,45 s") for a sum of times and
// nothing otherwise, {Datum} the date given. Fields a cup has no value for read empty.
QList<CertificateFields::Values> collect(const CupStandings& standings, const QString& cupName,
                                         CupRules::Scoring scoring, int places = 3,
                                         const QString& date = {});

// Today as the certificates write a date: "24.01.2027".
QString today();

} // namespace CupCertificates

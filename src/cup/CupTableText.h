#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"

#include <QString>
#include <QStringList>

// The standings as the cells of plain tables, shared by the written and printed outputs: the
// captions, a competitor's row and a club's row, each value as CupValueText writes it.
namespace CupTableText {

// How a dropped value is told apart where no strike-through is at hand.
enum class Dropped { Plain, Bracketed };

// "Klasse 3"; a class without a name reads "Ohne Klasse".
QString classCaption(const QString& cls);
// "Vereine Klasse 3", or "Vereine" over all classes.
QString clubCaption(const QString& cls);

// Pl., Name, Vorname, Verein, one column per race, Summe, Abstand, Bemerkung.
QStringList header(const CupStandings& standings);
// What a race's cell reads: the value ("45", "(45)" when dropped and bracketed), the status
// that gave nothing ("DNS"), "annulliert" for a voided race, empty when he was not there.
QString raceCell(const CupStandings::RaceResult& race, CupRules::Scoring scoring, Dropped dropped);
// The marks of a row: "Stechen", "uneinholbar", the class note, the note why he is unranked.
QStringList marks(const CupStandings::Row& row);
// "3"; empty without a place. A shared place reads as the others' of that place.
QString placeText(int place);
// The gap, empty for the leader and for the unranked.
QString gapText(const CupStandings::Row& row, CupRules::Scoring scoring);
// The row's cells in the order of header().
QStringList rowCells(const CupStandings::Row& row, CupRules::Scoring scoring, Dropped dropped);

// Pl., Verein, Summe, Mitglieder.
QStringList clubHeader();
QStringList clubCells(const CupStandings::ClubRow& row, CupRules::Scoring scoring);

} // namespace CupTableText

#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"

#include <QList>
#include <QString>
#include <memory>

class CompetitionTable;

// The standings as the tables the print preview and the PDF export take: the captions as the
// header row, a dropped value in brackets ("(45)"), since paper shows no strike-through of a
// plain table. A voided race's note is a row of its own, its text in the "Name" column.
namespace CupPrintTables {

// One class: header row, then its rows, then its voided races' notes.
std::unique_ptr<CompetitionTable> classTable(const CupStandings& standings,
                                             const CupStandings::ClassTable& table,
                                             CupRules::Scoring scoring);
// One club table: Pl., Verein, Summe, Mitglieder.
std::unique_ptr<CompetitionTable> clubTable(const CupStandings::ClubTable& table,
                                            CupRules::Scoring scoring);

// Every class and club table in one table for a single printout: the competitors' captions as
// the header row, each class led by its caption in the "Name" column and followed by an empty
// row; a club table's rows put the club in "Name", the sum in "Summe" and the members in
// "Bemerkung", led by its caption.
std::unique_ptr<CompetitionTable> wholeTable(const CupStandings& standings,
                                             CupRules::Scoring scoring);

} // namespace CupPrintTables

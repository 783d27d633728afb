#pragma once

#include "competition/CertificateChoice.h"
#include "competition/CertificateFields.h"

#include <QList>

class Competition;

// Who gets a certificate and what each one reads, taken from the derived tables as the last
// derivation left them: the heat results, the final results and the team ranking.
class CertificateRecipients {
public:
    // One set of placeholder values per certificate, in the order asked for. Competitors who
    // share a place print the same place. Runs come from the heat start list (free cells
    // read empty); times read as seconds with their unit ("21,00 s") in any notation of the
    // tables. Without a place nobody gets one unless participation is asked for, and then
    // only who slid at least once. A competitor's heat or final total is looked up by start
    // number and name when the list chosen does not hold it. A team certificate reads its
    // name in {Team}, its three counted members in {Mitglieder} and its total in {Summe} and
    // {Zeit}; {Name}, {Vorname}, {Verein}, {Klasse} and the runs stay empty there.
    static QList<CertificateFields::Values> collect(const Competition& c,
                                                    const CertificateChoice& choice);
};

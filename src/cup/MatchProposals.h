#pragma once

#include "cup/CupIdentity.h"

#include <QList>

struct CupDefinition;

// Competitors who may be one person spelt differently: two identities that never met in one
// race and differ in one field by a small spelling difference ("Maier" / "Meier"), not yet
// answered by the organiser.
namespace MatchProposals {

struct Proposal {
    CupIdentity earlier; // from the earlier race
    CupIdentity later;
    QString reason; // "Name: Maier / Meier"
};

QList<Proposal> find(const CupDefinition& cup);

} // namespace MatchProposals

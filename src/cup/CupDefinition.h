#pragma once

#include "cup/CupMatches.h"
#include "cup/CupRace.h"
#include "cup/CupRules.h"

#include <QList>
#include <QString>

// Everything a cup file holds: its name, its rules, its races in order and the organiser's
// answers about competitors' spellings.
struct CupDefinition {
    QString name; // "Velmora-Cup 2027"
    CupRules rules;
    QList<CupRace> races;
    CupMatches matches;
};

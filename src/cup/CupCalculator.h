#pragma once

#include "cup/CupStandings.h"

struct CupDefinition;

// Computes the standings of a cup from its definition. Pure and thread-safe: it runs on a
// worker thread while the window shows the last standings.
class CupCalculator {
public:
    static CupStandings compute(const CupDefinition& cup);
};

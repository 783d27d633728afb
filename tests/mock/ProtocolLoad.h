#pragma once

#include <QString>

class CompetitionTable;

// Opens a protocol file into a table in the program's two steps: read it, and only when it
// could be read put its rows in. False, with the table untouched, when it cannot be read.
bool loadProtocol(CompetitionTable& table, const QString& fileName);

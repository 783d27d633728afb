#pragma once

#include <QString>

class TSortGrid;

// Opens a protocol file into a table in the program's two steps: read it, and only when it
// could be read put its rows in. False, with the table untouched, when it cannot be read.
bool loadProtocol(TSortGrid& table, const QString& fileName);

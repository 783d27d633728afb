#pragma once

#include "output/registration/ImportMapping.h"
#include "output/registration/ImportPlan.h"
#include "output/registration/ImportWorkbook.h"

#include <QList>
#include <QStringList>

// Turns the rows of a registration file into heat start list rows: each row checked before
// anything changes (a name, a class 1 to 4, a mark that is understood, a number that is a
// number and not twice in the file, texts the protocol file can store), numbers given to rows
// without one if asked, and the list replaced or extended. Pure: the current rows in, the new
// rows and the report out; the caller applies the rows as one change.
class StartListImport {
public:
    // currentRows: the heat start list's data rows (11 cells each, as HeatStartListRows reads
    // them).
    static ImportPlan plan(const QList<QStringList>& currentRows,
                           const ImportWorkbook::Sheet& sheet, const ImportMapping& mapping);

    // One above the highest "Nr." of the rows; 1 for none.
    static int nextFreeNumber(const QList<QStringList>& rows);

    // The reason a text cannot go into a name or club cell, or an empty text.
    static QString unstorableReason(const QString& caption, const QString& text);
};

#pragma once

#include "output/registration/ImportMapping.h"
#include "output/registration/ImportWorkbook.h"

#include <QStringList>

class ImportMemory;

// The first proposal of the mapping dialog: the header row and each column's field from the
// column names the operator used before or from common ones ("Startnummer", "Nachname",
// "Verein", "Klasse", ...), from the content when the file has no names, and the class table
// from the last import and from texts naming a class by its digit.
namespace ImportGuess {

ImportMapping initialMapping(const ImportWorkbook& workbook, int sheet, const ImportMemory& memory);

// The field a column name usually means; Ignore when it means none.
ImportField fieldForHeader(const QString& header);

// Among the first rows, the first that reads as column names; -1 when none does.
int headerRow(const ImportWorkbook::Sheet& sheet, const ImportMemory& memory);

// Fields for the columns as the header row names them (-1: guessed from the content).
QList<ImportField> columnFields(const ImportWorkbook::Sheet& sheet, int headerRow,
                                const ImportMemory& memory);

// The distinct texts of the class columns that are not "1" to "4", in order of appearance.
QStringList classTexts(const ImportWorkbook::Sheet& sheet, const ImportMapping& mapping);

// The class table completed for the sheet's class texts: what the table already says, else
// what the last import said, else the digit a text names.
QMap<QString, QString> completedClasses(const ImportWorkbook::Sheet& sheet,
                                        const ImportMapping& mapping, const ImportMemory& memory);

} // namespace ImportGuess

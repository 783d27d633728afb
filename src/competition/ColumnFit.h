#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The width a column needs for its widest text, header included, however the texts are
// measured (screen, printer). Only the longest texts are measured: in the number columns a
// shorter text is never the wider one, and ten thousand rows stay quick.
class CompetitionTable;

namespace ColumnFit {

// Every row of the table, header first: a copy that is cheap (the rows are shared, not copied)
// and stays as it is while the table changes.
QList<QStringList> rowsOf(const CompetitionTable& grid);

using Measure = std::function<int(const QString& text)>;

// Rows from firstRow on: 0 counts the header row, 1 the data rows only.
int widestText(const QList<QStringList>& rows, int col, const Measure& measure, int firstRow = 0);

} // namespace ColumnFit

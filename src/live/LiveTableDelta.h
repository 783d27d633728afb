#pragma once

#include "live/LiveSnapshot.h"

#include <QJsonObject>

// What changed in one table from one state to the next, small enough for a phone on a busy
// Wi-Fi: rows are matched by their start number ("Nr.", or the club in the team table), kept
// rows are named by their old place in runs, changed rows carry only their changed cells (a run
// of rows that each changed in the same column, such as places moving down by one, as one list
// of values), and new rows come whole. When that would be longer than the rows themselves, the
// rows are sent.
//
//   {"caption": "...", "header": [...]}  only when they changed
//   {"marks": {...}}                     the marks of the new rows whole, when they changed:
//                                        they are few, and rows moving renumber them anyway
//   {"ops": [...]} with, in the order of the new rows:
//       [i, n]                            n old rows from row i
//       {"i": i, "c": col, "v": [...]}    old rows from row i, each with that cell set
//       {"i": i, "s": {"col": "text"}}    old row i with cells set
//       {"r": ["...", ...]}               a new row
//   {"rows": [[...], ...]}  the rows whole
class LiveTableDelta {
public:
    static QJsonObject between(const LiveSnapshot::Table& before, const LiveSnapshot::Table& after);
    // The column that names a row, or -1 when the table has none.
    static int keyColumn(const QStringList& header);
};

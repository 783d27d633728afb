#pragma once

#include "live/LiveSnapshot.h"

#include <QJsonObject>

// What changed in one table from one state to the next, small enough for a phone on a busy
// Wi-Fi: rows are matched by their start number ("Nr.", or the club in the team table), kept
// rows are named by their old place in runs, changed rows carry only their changed cells, and
// new rows come whole. When that would be longer than the rows themselves, the rows are sent.
//
//   {"caption": "...", "header": [...]}  only when they changed
//   {"ops": [[i, n], {"i": i, "s": {"col": "text"}}, {"r": ["...", ...]}]}
//                        n old rows from row i / old row i with cells set / a new row
//   {"rows": [[...], ...]}  the rows whole
class LiveTableDelta {
public:
    static QJsonObject between(const LiveSnapshot::Table& before, const LiveSnapshot::Table& after);
    // The column that names a row, or -1 when the table has none.
    static int keyColumn(const QStringList& header);
};

#pragma once

#include "live/LiveSnapshot.h"

#include <QJsonObject>

// The change from one state to the next as the event stream sends it: "set" holds the parts
// that are replaced whole (texts, clock, last result, top three, formats), "tables" the tables
// that changed, each as a LiveTableDelta under the name the page gives it ("stage0" to
// "stage3", "teams"). Applied in order to the state a page holds, it gives the new state.
class LiveSnapshotDelta {
public:
    static QJsonObject between(const LiveSnapshot& before, const LiveSnapshot& after);
    static QString tableName(int stage);
};

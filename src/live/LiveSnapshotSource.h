#pragma once

#include "live/LiveInputs.h"
#include "live/LiveSnapshot.h"

#include <QObject>
#include <functional>
#include <optional>

// What the live pages show, gathered from the tables, the clock and the texts besides the
// tables: tells when it changed and builds the snapshot, with the last run entered or ended
// without a time, and whose run it was.
class LiveSnapshotSource : public QObject {
    Q_OBJECT
public:
    explicit LiveSnapshotSource(const LiveInputs& inputs, QObject* parent = nullptr);

    LiveSnapshot snapshot() const;
    // A time was entered: the row that received it (which need not be the competitor shown
    // while the run went, when a new row took it) and the time as entered.
    void resultEntered(const QString& competitor, const QString& club, const QString& time);
    // "Neue": the last result is forgotten.
    void forgetLastResult();
    // The standings of the cup open now, or none.
    void setCup(std::optional<LiveSnapshot::Cup> cup);

Q_SIGNALS:
    // A table, a text or a result changed; worth sending soon, a few times a second at most.
    void changed();
    // The clock changed its state; its news goes out as soon as the command is done.
    void clockChanged();

private:
    const Competition& m_competition;
    const RunClock& m_clock;
    std::function<AudienceText()> m_text;
    std::optional<LiveSnapshot::Result> m_lastResult;
    std::optional<LiveSnapshot::Cup> m_cup;
    int m_entries = 0;
};

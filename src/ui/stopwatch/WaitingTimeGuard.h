#pragma once

#include <QString>
#include <functional>

class RaceSession;

// Keeps an open run from being dropped unasked by a command that ends or replaces the
// competition: a stopped time is let go only when the operator says so (which resets the
// clock, so the time can never land later in a row of another competition), and a run still
// running refuses the command with its reason. The rule itself is the session's.
class WaitingTimeGuard {
public:
    // Returns true for "Ja".
    using Ask = std::function<bool(const QString& question)>;

    WaitingTimeGuard(RaceSession& session, Ask ask);

    static QString question();

    // A run has been stopped and its time is not entered yet.
    bool timeWaiting() const;
    // True when no run is open, or the operator lets its stopped time go; the clock is then
    // back at Ready.
    bool mayDiscard();
    // The open run, then the command's own question, then once more the open run: the keys
    // keep timing while a question is open, so a run may have started in the meantime.
    bool confirm(const QString& commandQuestion);

private:
    RaceSession& m_session;
    Ask m_ask;
};

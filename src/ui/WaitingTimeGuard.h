#pragma once

#include <QString>
#include <functional>

class RunClock;

// Keeps a stopped run that waits for entry from being dropped unasked by a command that ends
// or replaces the competition. Letting it go resets the clock, so the time can never land
// later in a row of another competition.
class WaitingTimeGuard {
public:
    // Returns true for "Ja".
    using Ask = std::function<bool(const QString& question)>;

    WaitingTimeGuard(RunClock& clock, Ask ask);

    static QString question();

    // A run has been stopped and its time is not entered yet.
    bool timeWaiting() const;
    // True when no time waits, or the operator lets it go; the clock is then back at Ready.
    bool mayDiscard();
    // The waiting time, then the command's own question, then once more the waiting time: the
    // keys keep timing while a question is open, so a run may have stopped in the meantime.
    bool confirm(const QString& commandQuestion);

private:
    RunClock& m_clock;
    Ask m_ask;
};

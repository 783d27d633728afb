#include "ui/WaitingTimeGuard.h"

#include "timing/RunClock.h"

WaitingTimeGuard::WaitingTimeGuard(RunClock& clock, Ask ask)
    : m_clock(clock), m_ask(std::move(ask)) {}

QString WaitingTimeGuard::question() {
    return QStringLiteral("Die gestoppte Zeit ist noch nicht eingetragen. Verwerfen?");
}

bool WaitingTimeGuard::timeWaiting() const {
    return m_clock.state() == RunClock::State::Stopped;
}

bool WaitingTimeGuard::mayDiscard() {
    if (!timeWaiting())
        return true;
    if (!m_ask(question()))
        return false;
    // The auto entry may have entered the time while the question was open; then there is
    // nothing left to reset.
    if (timeWaiting())
        m_clock.reset();
    return true;
}

bool WaitingTimeGuard::confirm(const QString& commandQuestion) {
    return mayDiscard() && m_ask(commandQuestion) && mayDiscard();
}

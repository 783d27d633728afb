#include "ui/stopwatch/WaitingTimeGuard.h"

#include "session/RaceSession.h"
#include "timing/RunClock.h"

WaitingTimeGuard::WaitingTimeGuard(RaceSession& session, Ask ask)
    : m_session(session), m_ask(std::move(ask)) {}

QString WaitingTimeGuard::question() {
    return RaceSession::discardQuestion();
}

bool WaitingTimeGuard::timeWaiting() const {
    return m_session.clock().state() == RunClock::State::Stopped;
}

bool WaitingTimeGuard::mayDiscard() {
    // Nobody stands in an emptied list.
    return m_session.admitsStartList({});
}

bool WaitingTimeGuard::confirm(const QString& commandQuestion) {
    return mayDiscard() && m_ask(commandQuestion) && mayDiscard();
}

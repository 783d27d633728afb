#include "FakeInhibitorBus.h"

void FakeInhibitorBus::request(const QString& kind, const QString& who, Answer answer) {
    calls.append(kind + u'+');
    lastWho = who;
    if (reply == Reply::Later)
        m_later.emplace_back(kind, std::move(answer));
    else if (reply == Reply::Grant)
        grant(kind, answer);
    else
        answer(std::nullopt);
}

void FakeInhibitorBus::release(const QString& kind, Handle handle) {
    calls.append(kind + u'-');
    m_held[kind].erase(handle);
}

void FakeInhibitorBus::grant(const QString& kind, const Answer& answer) {
    m_held[kind].insert(m_next);
    answer(m_next++);
}

void FakeInhibitorBus::answerLater(bool granted) {
    auto waiting = std::exchange(m_later, {});
    for (auto& [kind, answer] : waiting) {
        if (granted)
            grant(kind, answer);
        else
            answer(std::nullopt);
    }
}

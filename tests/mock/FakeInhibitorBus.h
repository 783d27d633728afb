#pragma once

#include "platform/InhibitorBus.h"

#include <QStringList>
#include <map>
#include <set>
#include <vector>

// Inhibitor services in memory: grants, refuses or holds back each request as told, and keeps
// what is held now and every call in order ("sleep+" a request, "sleep-" a release, likewise
// "screen+" and "screen-").
class FakeInhibitorBus : public InhibitorBus {
public:
    enum class Reply { Grant, Refuse, Later };
    Reply reply = Reply::Grant;
    QStringList calls;
    QString lastWho;

    std::size_t held(const QString& kind) const {
        return m_held.count(kind) ? m_held.at(kind).size() : 0;
    }
    // Answers the held-back requests in the order they came.
    void answerLater(bool grant);
    int waiting() const { return int(m_later.size()); }

    void inhibitSleep(const QString& who, const QString&, Answer answer) override {
        request(QStringLiteral("sleep"), who, std::move(answer));
    }
    void releaseSleep(Handle handle) override { release(QStringLiteral("sleep"), handle); }
    void inhibitScreenSaver(const QString& who, const QString&, Answer answer) override {
        request(QStringLiteral("screen"), who, std::move(answer));
    }
    void releaseScreenSaver(Handle handle) override { release(QStringLiteral("screen"), handle); }

private:
    void request(const QString& kind, const QString& who, Answer answer);
    void release(const QString& kind, Handle handle);
    void grant(const QString& kind, const Answer& answer);

    std::map<QString, std::set<Handle>> m_held;
    std::vector<std::pair<QString, Answer>> m_later;
    Handle m_next = 1;
};

#pragma once

#include "mock/FakeSerialSystem.h"
#include "mock/FakeTickSource.h"
#include "mock/WindowFixture.h"
#include "session/RaceSession.h"

#include <QStringList>
#include <memory>

class CompetitionTable;

// A started race session without a window, on a hand-moved clock and a fake serial system on
// the same clock, in a temporary installation (as WindowFixture sets it up).
class SessionFixture {
public:
    // A device added before start-up is found by the port scan.
    explicit SessionFixture(const QString& devicePath = QString());

    RaceSession& session() { return *m_session; }
    // Shutdown as at the end of the program, then the session goes.
    void destroySession();
    // Shutdown, then a new session on the same installation and clock, as at a restart.
    void restartSession();
    FakeTickSource& ticks() { return *m_ticks; }
    FakeSerialSystem& serial() { return *m_serial; }
    const InstallationFixture& install() const { return m_install; }

    // The timing keys as the clock's commands: "F4" countdown, "F5" start, "F6" lap, "F8" stop,
    // "F9" entry, "F10" reset; "+n" moves the clock on by n ms.
    bool run(const QStringList& steps);
    // Fills the heat start list with competitors 11, 12, ... of class 1 and selects row 1.
    void addCompetitors(int count);
    static void addCompetitors(CompetitionTable& heatStartList, int count);

private:
    void startSession();

    InstallationFixture m_install;
    std::shared_ptr<FakeTickSource> m_ticks;
    std::shared_ptr<FakeSerialSystem> m_serial;
    std::unique_ptr<RaceSession> m_session;
};

#pragma once

#include "session/ProgramEnvironment.h"
#include "session/RaceSession.h"
#include "ui/window/MainWindow.h"
#include "ui/window/WindowSeams.h"

// What a test starts the program with: the session's environment and the window's seams.
struct TestEnvironment : ProgramEnvironment {
    WindowSeams seams;
};

// Holds the started race session of a window under test.
class SessionOwner {
protected:
    explicit SessionOwner(ProgramEnvironment environment);
    // The shutdown of the program's end, once the window is gone.
    ~SessionOwner();

    RaceSession m_ownSession;
};

// The main window on a session of its own, made and ended as the program does: the session
// started before the window, shut down after it.
class SessionWindow : private SessionOwner, public MainWindow {
public:
    explicit SessionWindow(const TestEnvironment& environment);
    SessionWindow(ProgramEnvironment environment, WindowSeams seams);
};

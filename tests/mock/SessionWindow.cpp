#include "SessionWindow.h"

SessionOwner::SessionOwner(ProgramEnvironment environment) : m_ownSession(std::move(environment)) {
    m_ownSession.start();
}

SessionOwner::~SessionOwner() {
    m_ownSession.shutdown();
}

SessionWindow::SessionWindow(const TestEnvironment& environment)
    : SessionWindow(environment, environment.seams) {}

SessionWindow::SessionWindow(ProgramEnvironment environment, WindowSeams seams)
    : SessionOwner(std::move(environment)), MainWindow(m_ownSession, std::move(seams)) {}

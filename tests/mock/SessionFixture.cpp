#include "SessionFixture.h"

#include "competition/CompetitionTable.h"
#include "timing/RunClock.h"

#include <QTest>

SessionFixture::SessionFixture(const QString& devicePath)
    : m_ticks(std::make_shared<FakeTickSource>(7'000'000)),
      m_serial(std::make_shared<FakeSerialSystem>(
          [ticks = m_ticks] { return ticks->nowMicroseconds(); })) {
    if (!devicePath.isEmpty())
        m_serial->addDevice(devicePath);
    startSession();
}

void SessionFixture::startSession() {
    ProgramEnvironment environment = m_install.environment();
    environment.setTickSource(m_ticks);
    environment.setSerialSystem(m_serial);
    m_session = std::make_unique<RaceSession>(environment);
    m_session->start();
}

void SessionFixture::destroySession() {
    m_session->shutdown();
    m_session.reset();
}

void SessionFixture::restartSession() {
    destroySession();
    startSession();
}

bool SessionFixture::run(const QStringList& steps) {
    RunClock& clock = m_session->clock();
    for (const QString& step : steps) {
        if (step.startsWith(u'+')) {
            m_ticks->advanceMilliseconds(step.mid(1).toLongLong());
            QTest::qWait(30);
        } else if (step == QLatin1String("F4")) {
            clock.beginCountdown();
        } else if (step == QLatin1String("F5")) {
            clock.start();
        } else if (step == QLatin1String("F6")) {
            clock.lap();
        } else if (step == QLatin1String("F8")) {
            clock.stop();
        } else if (step == QLatin1String("F9")) {
            clock.enter();
        } else if (step == QLatin1String("F10")) {
            clock.reset();
        } else {
            return false;
        }
    }
    return true;
}

void SessionFixture::addCompetitors(int count) {
    addCompetitors(m_session->competition().heatStartList(), count);
}

void SessionFixture::addCompetitors(CompetitionTable& heat, int count) {
    for (int i = 1; i <= count; ++i) {
        heat.appendRow({QString::number(10 + i), QStringLiteral("Name%1").arg(i),
                        QStringLiteral("Vorname%1").arg(i), QStringLiteral("Verein%1").arg(i),
                        QStringLiteral("1")});
    }
    heat.setRow(1);
    heat.setModified(false);
}

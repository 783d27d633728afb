#include "session/ScoreboardSession.h"

#include "competition/Competition.h"
#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "session/RunBinding.h"
#include "settings/Settings.h"
#include "timing/RunClock.h"
#include "timing/ScoreboardPort.h"
#include "timing/TickSource.h"

#include <cmath>

ScoreboardSession::ScoreboardSession(RunClock& clock, Competition& competition, RunBinding& binding,
                                     std::shared_ptr<SerialSystem> system, QObject* parent)
    : QObject(parent), m_clock(clock), m_competition(competition), m_binding(binding),
      m_port(std::make_unique<ScoreboardPort>(std::move(system))) {
    connect(&m_running, &QTimer::timeout, this, &ScoreboardSession::sendRunning);
    m_watch.setInterval(1000);
    connect(&m_watch, &QTimer::timeout, this, &ScoreboardSession::watch);
    connect(&clock, &RunClock::runStarted, this, [this] {
        m_number = boundNumber();
        sendRunning();
        if (m_port->isOpen())
            m_running.start();
    });
    connect(&clock, &RunClock::runStopped, this, [this] {
        m_running.stop();
        sendFrame(ScoreboardFrames::Kind::Stopped, m_clock.runTime(), 0);
    });
    // The place is known once the entry is in the list: after the session's own handler.
    connect(&clock, &RunClock::runEntered, this, [this](qint32 ms) {
        const int number = m_number;
        QTimer::singleShot(0, this, [this, number, ms] {
            if (!m_port->isOpen())
                return;
            sendFrame(ScoreboardFrames::Kind::Result, ms, placeOf(number, ms));
        });
    });
    connect(&clock, &RunClock::runNotFinished, &m_running, &QTimer::stop);
    connect(&clock, &RunClock::readyForNextRun, &m_running, &QTimer::stop);
}

ScoreboardSession::~ScoreboardSession() = default;

int ScoreboardSession::runningIntervalMs(int baudRate, ScoreboardFrames::Protocol protocol) {
    const qsizetype bytes =
        ScoreboardFrames::frame(protocol, ScoreboardFrames::Kind::Running, 0, 0, 0).size();
    // Half the line stays free for the stopped time and the result.
    const double seconds = 2 * ScoreboardFrames::lineSeconds(bytes, baudRate);
    return qMax(100, int(std::ceil(seconds * 1000)));
}

bool ScoreboardSession::apply(const Settings& settings) {
    m_protocol = ScoreboardFrames::protocolFor(settings.boardProtocol)
                     .value_or(ScoreboardFrames::Protocol::Gaz);
    m_running.setInterval(runningIntervalMs(settings.boardBaud, m_protocol));
    if (settings.boardDevice.isEmpty()) {
        close();
        return false;
    }
    if (m_port->isOpen() && !m_port->failed() && m_port->device() == settings.boardDevice &&
        m_port->baudRate() == settings.boardBaud)
        return true;
    const bool opened = m_port->open(settings.boardDevice, settings.boardBaud);
    m_watch.start();
    tellState();
    return opened;
}

void ScoreboardSession::close() {
    m_watch.stop();
    m_running.stop();
    m_port->close();
    tellState();
}

bool ScoreboardSession::isOpen() const {
    return m_port->isOpen() && !m_port->failed();
}

QString ScoreboardSession::lastError() const {
    return m_port->failed() ? QStringLiteral("Anzeigetafel nimmt nichts an") : m_port->lastError();
}

QString ScoreboardSession::test(const QString& device, int baudRate, const QString& protocol) {
    const auto chosen = ScoreboardFrames::protocolFor(protocol);
    if (device.isEmpty() || !chosen)
        return QStringLiteral("Keine Anzeigetafel gewählt");
    // The board in use is tested on its open port; another one on a port of its own.
    ScoreboardPort* port = m_port.get();
    std::unique_ptr<ScoreboardPort> other;
    if (!(m_port->isOpen() && m_port->device() == device && m_port->baudRate() == baudRate)) {
        other = std::make_unique<ScoreboardPort>(nullptr);
        if (!other->open(device, baudRate))
            return QStringLiteral("Test fehlgeschlagen: ") + other->lastError();
        port = other.get();
    }
    port->send(ScoreboardFrames::test(*chosen), false);
    // A port of its own is closed only once the frame is out.
    if (other)
        QTimer::singleShot(ScoreboardPort::WriteTimeoutMs, this,
                           [keep = std::shared_ptr<ScoreboardPort>(std::move(other))] {});
    return QStringLiteral("Testbild gesendet (alle Segmente 8)");
}

void ScoreboardSession::sendRunning() {
    if (m_clock.state() != RunClock::State::Running)
        return;
    const qint64 elapsed = m_clock.tickSource().nowMicroseconds() - m_clock.startStamp();
    m_port->send(ScoreboardFrames::frame(m_protocol, ScoreboardFrames::Kind::Running, m_number,
                                         RunClock::truncatedToHundredths(elapsed), 0),
                 true);
}

void ScoreboardSession::sendFrame(ScoreboardFrames::Kind kind, qint32 ms, int place) {
    m_port->send(ScoreboardFrames::frame(m_protocol, kind, m_number, ms, place), false);
}

int ScoreboardSession::boundNumber() const {
    if (!m_binding.isBound())
        return 0;
    const CompetitionTable& table =
        m_binding.page() == 2 ? m_competition.finalStartList() : m_competition.heatStartList();
    return table.cell(StageTables::Heat::Nr, m_binding.row()).trimmed().toInt();
}

int ScoreboardSession::placeOf(int number, qint32 ms) const {
    using namespace StageTables;
    const CompetitionTable& heat = m_competition.heatStartList();
    const TimeFormat& format = m_competition.timeFormat();
    const qint32 hundredths = ms / 10;
    for (int row = 1; row < heat.rowsWithHeader(); ++row) {
        if (number <= 0 || heat.cell(Heat::Nr, row).trimmed().toInt() != number)
            continue;
        // The newest run of his that holds this time.
        for (int col = Heat::Zeit5; col >= Heat::Zeit1; --col) {
            if (format.ParseTime(heat.cell(col, row)) != hundredths)
                continue;
            const QString klass = heat.cell(Heat::Kl, row).trimmed();
            int place = 1;
            for (int other = 1; other < heat.rowsWithHeader(); ++other) {
                const qint32 time = format.ParseTime(heat.cell(col, other));
                if (other != row && time > 0 && time < hundredths &&
                    heat.cell(Heat::Kl, other).trimmed() == klass)
                    ++place;
            }
            return place;
        }
    }
    return 0;
}

void ScoreboardSession::watch() {
    if (!isOpen())
        m_port->open(m_port->device(), m_port->baudRate());
    tellState();
}

void ScoreboardSession::tellState() {
    // A board that is not reached costs the timing nothing, but the audience sees no time.
    const QString text =
        !m_watch.isActive() || isOpen()
            ? QString()
            : QStringLiteral("Anzeigetafel an %1: %2").arg(m_port->device(), lastError());
    if (text == m_lasting)
        return;
    m_lasting = text;
    Q_EMIT lastingNoticeChanged(m_lasting);
}

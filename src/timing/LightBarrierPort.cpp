#include "timing/LightBarrierPort.h"

#include "platform/PosixSerialSystem.h"
#include "timing/BarrierLogic.h"
#include "timing/EComHandle.h"
#include "timing/EComState.h"
#include "timing/SerialPort.h"
#include "timing/StuckLineWatch.h"
#include "timing/TickSource.h"

LightBarrierPort::LightBarrierPort(BarrierLogic& barriers, std::shared_ptr<SerialSystem> system,
                                   std::shared_ptr<const TickSource> ticks, QObject* parent)
    : QObject(parent), m_barriers(barriers) {
    if (!system)
        system = PosixSerialSystem::instance();
    m_stuck = new StuckLineWatch(barriers, *ticks, this);
    m_port = std::make_unique<SerialPort>(std::move(system),
                                          [ticks] { return ticks->nowMicroseconds(); });
    SerialPort& p = *m_port;
    p.setObjectName(QStringLiteral("ComPort"));
    p.setBaudRate(SerialPort::BaudRate::br9600);
    p.setUserBaudRate(28800);
    p.setPort(0);
    p.setParity(SerialPort::Parity::prNone);
    p.setStopBits(SerialPort::StopBits::sbOneStopBit);
    p.setFlowControl(SerialPort::FlowControl::fcRtsCts);
    p.setDataBits(5);
    p.setEvents({SerialPort::LineEvent::evCTS, SerialPort::LineEvent::evDSR,
                 SerialPort::LineEvent::evRLSD});
    p.setDtrEnabled(true);
    p.setWriteBufferSize(64);
    p.setReadBufferSize(64);

    // Once per line change, with the lines that changed: a barrier acts on its own edge.
    connect(&p, &SerialPort::lineEvent, &barriers,
            [this, &barriers](quint32 changedEvents, quint32 status, qint64 stamp) {
                Q_EMIT lineChanged(changedEvents, status, stamp);
                barriers.portLinesChanged(changedEvents, status, stamp);
                m_stuck->lineChanged(changedEvents, status, stamp);
            });
    connect(&p, &SerialPort::opened, m_stuck,
            [this, ticks] { m_stuck->reset(m_port->modemStatus(), ticks->nowMicroseconds()); });
    connect(&p, &SerialPort::closed, m_stuck, &StuckLineWatch::clear);
    connect(&p, &SerialPort::opened, &barriers, &BarrierLogic::portOpened);
    connect(&p, &SerialPort::closed, &barriers, &BarrierLogic::portClosed);
    // Emitted before the port closes, while it still names the device.
    connect(&p, &SerialPort::deviceLost, this,
            [this](const QString& reason) { lose(m_port->devicePath(), reason); });
    m_watch.setInterval(WatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &LightBarrierPort::watch);
}

LightBarrierPort::~LightBarrierPort() = default;

bool LightBarrierPort::isOpen() const {
    return m_port->isConnected();
}

quint32 LightBarrierPort::scanSerialPorts() const {
    return m_port->scanSerialPorts();
}

bool LightBarrierPort::open(int port) {
    m_watch.stop();
    m_lostDevice.clear();
    m_port->close();
    m_port->setPort(port);
    if (port == 0)
        return false;
    SerialPort::LineEvents events{SerialPort::LineEvent::evCTS, SerialPort::LineEvent::evDSR,
                                  SerialPort::LineEvent::evRLSD};
    if (m_barriers.backupStop().isEnabled())
        events |= SerialPort::LineEvent::evRing;
    m_port->setEvents(events);
    if (tryOpen())
        return true;
    m_port->setPort(0);
    return false;
}

void LightBarrierPort::close() {
    m_watch.stop();
    m_lostDevice.clear();
    m_port->close();
}

void LightBarrierPort::lose(const QString& device, const QString& reason) {
    m_lastError = reason;
    m_lostDevice = device;
    // The port closes at once; the impulses before the loss have all been delivered, as the
    // monitor posts its failure after its last change. Reopening starts from the lines as
    // they are then, so no impulse is counted twice.
    m_port->close();
    m_watch.start();
    Q_EMIT connectionLost(device, reason);
}

void LightBarrierPort::watch() {
    if (m_port->isConnected()) {
        // A node can go away without the monitor's ioctls failing first.
        const std::optional<QString> now = m_port->currentDevicePath();
        if (!now || *now != m_port->devicePath())
            lose(m_port->devicePath(), QStringLiteral("Gerät entfernt"));
        return;
    }
    if (m_lostDevice.isEmpty() || !m_port->reopen())
        return;
    m_lostDevice.clear();
    m_lastError.clear();
    m_lastErrorCode = 0;
    takeRealtimeOutcome();
    Q_EMIT connectionRestored(m_port->devicePath());
}

bool LightBarrierPort::tryOpen() {
    try {
        m_port->open();
        m_lastError.clear();
        m_lastErrorCode = 0;
        takeRealtimeOutcome();
        m_watch.start();
        return true;
    } catch (const EComHandle& error) {
        m_lastError = error.message();
        m_lastErrorCode = error.error();
    } catch (const EComState& error) {
        m_lastError = error.message();
        m_lastErrorCode = 0;
    }
    return false;
}

void LightBarrierPort::takeRealtimeOutcome() {
    m_realtimeNotice = RealtimePriority::notice(m_port->realtimePriority());
    if (m_realtimeNotice.isEmpty() || m_realtimeTold)
        return;
    m_realtimeTold = true;
    Q_EMIT realtimeUnavailable(m_realtimeNotice);
}

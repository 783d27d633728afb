#include "timing/LightBarrierPort.h"

#include "platform/PosixSerialSystem.h"
#include "timing/BarrierLogic.h"
#include "timing/EComHandle.h"
#include "timing/EComState.h"
#include "timing/StuckLineWatch.h"
#include "timing/TComPort.h"
#include "timing/TickSource.h"

LightBarrierPort::LightBarrierPort(BarrierLogic& barriers, std::shared_ptr<SerialSystem> system,
                                   std::shared_ptr<const TickSource> ticks, QObject* parent)
    : QObject(parent), m_barriers(barriers) {
    if (!system)
        system = PosixSerialSystem::instance();
    m_stuck = new StuckLineWatch(barriers, *ticks, this);
    m_port =
        std::make_unique<TComPort>(std::move(system), [ticks] { return ticks->nowMicroseconds(); });
    TComPort& p = *m_port;
    p.setObjectName(QStringLiteral("ComPort"));
    p.setBaudRate(TComPort::TBaudRate::br9600);
    p.setBaudRateUser(28800);
    p.setPort(0);
    p.setParity(TComPort::TParity::prNone);
    p.setStopBits(TComPort::TStopBits::sbOneStopBit);
    p.setFlowControl(TComPort::TFlowControl::fcRtsCts);
    p.setDataBits(5);
    p.setEvents({TComPort::TEvent::evCTS, TComPort::TEvent::evDSR, TComPort::TEvent::evRLSD});
    p.setEnableDTR(true);
    p.setWriteBufSize(64);
    p.setReadBufSize(64);

    // Once per line change, with the lines that changed: a barrier acts on its own edge.
    connect(&p, &TComPort::lineEvent, &barriers,
            [this, &barriers](quint32 changedEvents, quint32 status, qint64 stamp) {
                Q_EMIT lineChanged(changedEvents, status, stamp);
                barriers.ComPortCTS(changedEvents, status, stamp);
                m_stuck->lineChanged(changedEvents, status, stamp);
            });
    connect(&p, &TComPort::OnOpen, m_stuck,
            [this, ticks] { m_stuck->reset(m_port->ModemStatus(), ticks->nowMicroseconds()); });
    connect(&p, &TComPort::OnClose, m_stuck, &StuckLineWatch::clear);
    connect(&p, &TComPort::OnOpen, &barriers, &BarrierLogic::ComPortOpen);
    connect(&p, &TComPort::OnClose, &barriers, &BarrierLogic::ComPortClose);
    // Emitted before the port closes, while it still names the device.
    connect(&p, &TComPort::deviceLost, this,
            [this](const QString& reason) { lose(m_port->devicePath(), reason); });
    m_watch.setInterval(WatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &LightBarrierPort::watch);
}

LightBarrierPort::~LightBarrierPort() = default;

bool LightBarrierPort::isOpen() const {
    return m_port->Connected();
}

quint32 LightBarrierPort::ScanSerialPorts() const {
    return m_port->ScanSerialPorts();
}

bool LightBarrierPort::open(int port) {
    m_watch.stop();
    m_lostDevice.clear();
    m_port->Close();
    m_port->setPort(port);
    if (port == 0)
        return false;
    TComPort::TEvents events{TComPort::TEvent::evCTS, TComPort::TEvent::evDSR,
                             TComPort::TEvent::evRLSD};
    if (m_barriers.backupStop().isEnabled())
        events |= TComPort::TEvent::evRing;
    m_port->setEvents(events);
    if (tryOpen())
        return true;
    m_port->setPort(0);
    return false;
}

void LightBarrierPort::close() {
    m_watch.stop();
    m_lostDevice.clear();
    m_port->Close();
}

void LightBarrierPort::lose(const QString& device, const QString& reason) {
    m_lastError = reason;
    m_lostDevice = device;
    // The port closes at once; the impulses before the loss have all been delivered, as the
    // monitor posts its failure after its last change. Reopening starts from the lines as
    // they are then, so no impulse is counted twice.
    m_port->Close();
    m_watch.start();
    Q_EMIT connectionLost(device, reason);
}

void LightBarrierPort::watch() {
    if (m_port->Connected()) {
        // A node can go away without the monitor's ioctls failing first.
        const std::optional<QString> now = m_port->currentDevicePath();
        if (!now || *now != m_port->devicePath())
            lose(m_port->devicePath(), QStringLiteral("Gerät entfernt"));
        return;
    }
    if (m_lostDevice.isEmpty() || !m_port->Reopen())
        return;
    m_lostDevice.clear();
    m_lastError.clear();
    m_lastErrorCode = 0;
    takeRealtimeOutcome();
    Q_EMIT connectionRestored(m_port->devicePath());
}

bool LightBarrierPort::tryOpen() {
    try {
        m_port->Open();
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

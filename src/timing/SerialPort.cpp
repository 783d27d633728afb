#include "timing/SerialPort.h"

#include "platform/LineChange.h"
#include "platform/LinuxRealtimeSystem.h"
#include "platform/PosixSerialSystem.h"
#include "platform/SerialLine.h"
#include "platform/SerialLineMonitor.h"
#include "platform/SerialPortMap.h"
#include "timing/EComHandle.h"
#include "timing/EComState.h"
#include "timing/MonotonicTickSource.h"

#include <QMetaObject>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>

namespace {

QString systemErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

struct LineBits {
    quint32 line;   // TIOCM_*
    quint32 status; // MS_*
    quint32 event;  // EV_*
    SerialPort::LineEvent flag;
};

constexpr std::array<LineBits, 4> LineTable{{
    {TIOCM_CTS, SerialPort::MS_CTS_ON, SerialPort::EV_CTS, SerialPort::LineEvent::evCTS},
    {TIOCM_DSR, SerialPort::MS_DSR_ON, SerialPort::EV_DSR, SerialPort::LineEvent::evDSR},
    {TIOCM_RNG, SerialPort::MS_RING_ON, SerialPort::EV_RING, SerialPort::LineEvent::evRing},
    {TIOCM_CAR, SerialPort::MS_RLSD_ON, SerialPort::EV_RLSD, SerialPort::LineEvent::evRLSD},
}};

SerialLineSettings::Parity toLineParity(SerialPort::Parity parity) {
    switch (parity) {
    case SerialPort::Parity::prOdd:
        return SerialLineSettings::Parity::Odd;
    case SerialPort::Parity::prEven:
        return SerialLineSettings::Parity::Even;
    case SerialPort::Parity::prMark:
        return SerialLineSettings::Parity::Mark;
    case SerialPort::Parity::prSpace:
        return SerialLineSettings::Parity::Space;
    case SerialPort::Parity::prNone:
        break;
    }
    return SerialLineSettings::Parity::None;
}

SerialLineSettings::StopBits toLineStopBits(SerialPort::StopBits stopBits) {
    switch (stopBits) {
    case SerialPort::StopBits::sbOne5StopBits:
        return SerialLineSettings::StopBits::OneAndHalf;
    case SerialPort::StopBits::sbTwoStopBits:
        return SerialLineSettings::StopBits::Two;
    case SerialPort::StopBits::sbOneStopBit:
        break;
    }
    return SerialLineSettings::StopBits::One;
}

SerialLineSettings::FlowControl toLineFlowControl(SerialPort::FlowControl flowControl) {
    switch (flowControl) {
    case SerialPort::FlowControl::fcRtsCts:
        return SerialLineSettings::FlowControl::RtsCts;
    case SerialPort::FlowControl::fcXonXoff:
        return SerialLineSettings::FlowControl::XonXoff;
    case SerialPort::FlowControl::fcNone:
        break;
    }
    return SerialLineSettings::FlowControl::None;
}

} // namespace

qint64 SerialPort::steadyClockMicroseconds() {
    return MonotonicTickSource::rawMicroseconds();
}

SerialPort::SerialPort(QObject* parent)
    : SerialPort(PosixSerialSystem::instance(), &SerialPort::steadyClockMicroseconds, parent) {}

SerialPort::SerialPort(std::shared_ptr<SerialSystem> system, MicrosecondClock clock,
                       QObject* parent)
    : QObject(parent), m_system(std::move(system)), m_clock(std::move(clock)),
      m_realtimeSystem(LinuxRealtimeSystem::instance()) {}

SerialPort::~SerialPort() {
    close();
}

void SerialPort::setPort(int value) {
    m_port = std::clamp(value, 0, 255);
}

void SerialPort::setRealtimeSystem(std::shared_ptr<RealtimeSystem> system) {
    m_realtimeSystem = system ? std::move(system) : LinuxRealtimeSystem::instance();
}

void SerialPort::setDataBits(int value) {
    m_dataBits = std::clamp(value, 5, 8);
}

quint32 SerialPort::baudRateValue(BaudRate rate, qint32 user) {
    static constexpr std::array<quint32, 15> named{110,   300,   600,    1200,   2400,
                                                   4800,  9600,  14400,  19200,  38400,
                                                   56000, 57600, 115200, 128000, 256000};
    if (rate == BaudRate::brUser)
        return user > 0 ? static_cast<quint32>(user) : 0;
    return named.at(static_cast<std::size_t>(rate));
}

quint32 SerialPort::eventMaskFor(LineEvents events) {
    static constexpr std::array<std::pair<LineEvent, quint32>, 9> table{{
        {LineEvent::evRxChar, EV_RXCHAR},
        {LineEvent::evRxFlag, EV_RXFLAG},
        {LineEvent::evTxEmpty, EV_TXEMPTY},
        {LineEvent::evCTS, EV_CTS},
        {LineEvent::evDSR, EV_DSR},
        {LineEvent::evRLSD, EV_RLSD},
        {LineEvent::evBreak, EV_BREAK},
        {LineEvent::evError, EV_ERR},
        {LineEvent::evRing, EV_RING},
    }};
    quint32 mask = 0;
    for (const auto& [event, bit] : table) {
        if (events.testFlag(event))
            mask |= bit;
    }
    return mask;
}

quint32 SerialPort::modemStatusFromLines(quint32 lines) {
    quint32 status = 0;
    for (const LineBits& bits : LineTable) {
        if (lines & bits.line)
            status |= bits.status;
    }
    return status;
}

quint32 SerialPort::eventMaskFromLines(quint32 lines) {
    quint32 mask = 0;
    for (const LineBits& bits : LineTable) {
        if (lines & bits.line)
            mask |= bits.event;
    }
    return mask;
}

quint32 SerialPort::watchedLines() const {
    quint32 lines = 0;
    for (const LineBits& bits : LineTable) {
        if (m_events.testFlag(bits.flag))
            lines |= bits.line;
    }
    return lines;
}

void SerialPort::open() {
    close();
    const std::optional<SerialPortMap::Entry> entry = SerialPortMap(*m_system).entryForPort(m_port);
    if (!entry)
        throw EComHandle(QStringLiteral("Unable to open com port: ") + systemErrorText(ENOENT),
                         ENOENT);
    m_stableName = entry->stableName;
    openDevice(entry->devicePath);
}

std::optional<QString> SerialPort::currentDevicePath() const {
    if (!m_stableName.isEmpty())
        return m_system->resolvedPath(SerialPortMap::byIdDirectory() + u'/' + m_stableName);
    if (m_lastDevicePath.isEmpty())
        return std::nullopt;
    return m_system->resolvedPath(m_lastDevicePath);
}

bool SerialPort::reopen() {
    const std::optional<QString> path = currentDevicePath();
    if (!path)
        return false;
    try {
        openDevice(*path);
    } catch (const EComHandle&) {
        return false;
    } catch (const EComState&) {
        return false;
    }
    return true;
}

void SerialPort::openDevice(const QString& path) {
    close();
    auto line = std::make_unique<SerialLine>(*m_system);
    int result = line->open(path);
    if (result < 0)
        throw EComHandle(QStringLiteral("Unable to open com port: ") + systemErrorText(-result),
                         -result);

    SerialLineSettings settings;
    settings.baudRate = baudRateValue(m_baudRate, m_baudRateUser);
    settings.dataBits = m_dataBits;
    settings.parity = toLineParity(m_parity);
    settings.stopBits = toLineStopBits(m_stopBits);
    settings.flowControl = toLineFlowControl(m_flowControl);
    settings.enableDtr = m_enableDtr;
    // On failure the line's destructor closes the device, so the next Open can have it.
    result = line->configure(settings);
    if (result < 0)
        throw EComState(QStringLiteral("Unable to set com state: ") + systemErrorText(-result));

    const quint64 generation = ++m_generation;
    // Both sinks only post to this object's thread: the monitor never waits for the window.
    auto monitor = std::make_unique<SerialLineMonitor>(
        *m_system, line->descriptor(), watchedLines(), m_clock,
        [this, generation](const LineChange& change) {
            QMetaObject::invokeMethod(
                this, [this, generation, change] { deliver(generation, change); },
                Qt::QueuedConnection);
        },
        [this, generation](int error) {
            QMetaObject::invokeMethod(
                this, [this, generation, error] { handleFailure(generation, error); },
                Qt::QueuedConnection);
        });
    monitor->start();
    // A stamp is only as good as the wake-up behind it. The thread blocks or sleeps between
    // looks, so real-time scheduling cannot let it starve the rest of the program.
    m_realtime = RealtimePriority::raise(*m_realtimeSystem, monitor->threadId());
    m_line = std::move(line);
    m_monitor = std::move(monitor);
    m_devicePath = path;
    m_lastDevicePath = path;
    m_connected = true;
    emit opened();
}

void SerialPort::close() {
    if (!m_connected)
        return;
    m_monitor.reset();
    m_line.reset();
    m_devicePath.clear();
    m_connected = false;
    emit closed();
}

quint32 SerialPort::modemStatus() const {
    if (!m_connected)
        return 0;
    int lines = 0;
    if (m_system->getModemBits(m_line->descriptor(), &lines) < 0)
        return 0;
    return modemStatusFromLines(static_cast<quint32>(lines));
}

int SerialPort::inputCount() const {
    if (!m_connected)
        return 0;
    int bytes = 0;
    if (m_system->inputQueueSize(m_line->descriptor(), &bytes) < 0)
        return 0;
    return bytes;
}

void SerialPort::dispatchEvents(quint32 eventMask, quint32 modemStatus, qint64 stampMicroseconds) {
    if (eventMask & EV_RXCHAR)
        emit rxChar(inputCount());
    if (eventMask & EV_TXEMPTY)
        emit txEmpty();
    if (eventMask & EV_BREAK)
        emit breakReceived();
    if (eventMask & EV_RING)
        emit ringChanged(modemStatus, stampMicroseconds);
    if (eventMask & EV_CTS)
        emit ctsChanged(modemStatus, stampMicroseconds);
    if (eventMask & EV_DSR)
        emit dsrChanged(modemStatus, stampMicroseconds);
    if (eventMask & EV_RXFLAG)
        emit rxFlag();
    if (eventMask & EV_RLSD)
        emit dcdChanged(modemStatus, stampMicroseconds);
    if (eventMask & EV_ERR)
        emit errorOccurred();
}

std::optional<QString> SerialPort::devicePathForPort(int port) const {
    return SerialPortMap(*m_system).devicePathForPort(port);
}

quint32 SerialPort::scanSerialPorts() const {
    return SerialPortMap(*m_system).scanSerialPorts();
}

void SerialPort::deliver(quint64 generation, const LineChange& change) {
    if (!m_connected || generation != m_generation)
        return;
    const quint32 mask = eventMaskFromLines(change.changedLines);
    const quint32 status = modemStatusFromLines(change.levels);
    emit lineEvent(mask, status, change.stampMicroseconds, change.edges);
    // A handler of lineEvent may have closed or reopened the port.
    if (!m_connected || generation != m_generation)
        return;
    dispatchEvents(mask, status, change.stampMicroseconds);
}

void SerialPort::handleFailure(quint64 generation, int error) {
    if (!m_connected || generation != m_generation)
        return;
    emit deviceLost(systemErrorText(error));
    close();
}

#include "timing/TimerPort.h"

#include "platform/PosixSerialSystem.h"
#include "platform/SerialDataReader.h"
#include "platform/SerialLine.h"

#include <QMetaObject>

#include <cstring>

namespace {

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

TimerPort::TimerPort(std::shared_ptr<SerialSystem> system, MicrosecondClock clock, QObject* parent)
    : QObject(parent), m_system(system ? std::move(system) : PosixSerialSystem::instance()),
      m_clock(std::move(clock)) {
    m_watch.setInterval(WatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &TimerPort::watch);
}

TimerPort::~TimerPort() {
    shut();
}

bool TimerPort::isOpen() const {
    return m_line && m_line->isOpen();
}

bool TimerPort::open(const QString& device, quint32 baudRate, const QByteArray& terminators) {
    close();
    m_device = device;
    m_baudRate = baudRate;
    m_terminators = terminators;
    if (device.isEmpty())
        return false;
    // A timer not plugged in yet is looked for like a lost one.
    m_lost = !openNow();
    m_watch.start();
    return !m_lost;
}

void TimerPort::close() {
    m_watch.stop();
    m_lost = false;
    shut();
}

void TimerPort::shut() {
    ++m_generation;
    m_reader.reset();
    m_line.reset();
}

bool TimerPort::openNow() {
    const std::optional<QString> node = m_system->resolvedPath(m_device);
    if (!node) {
        m_lastError = QStringLiteral("Gerät nicht vorhanden: ") + m_device;
        return false;
    }
    auto line = std::make_unique<SerialLine>(*m_system);
    int result = line->open(*node);
    if (result == 0) {
        SerialLineSettings settings;
        settings.baudRate = m_baudRate;
        settings.modemLinesRequired = false;
        result = line->configure(settings);
    }
    if (result < 0) {
        m_lastError = errorText(-result);
        return false;
    }
    const quint64 generation = ++m_generation;
    // A failure is posted to this object's thread: the reader never waits for the window.
    m_reader = std::make_unique<SerialDataReader>(
        *m_system, line->descriptor(), m_terminators, m_clock,
        [this](const QByteArray& text, qint64 stamp) { Q_EMIT lineReceived(text, stamp); },
        [this, generation](int error) {
            QMetaObject::invokeMethod(
                this, [this, generation, error] { fail(generation, error); }, Qt::QueuedConnection);
        });
    m_line = std::move(line);
    m_node = *node;
    m_lastError.clear();
    m_reader->start();
    return true;
}

void TimerPort::fail(quint64 generation, int error) {
    if (generation == m_generation && isOpen())
        lose(errorText(error));
}

void TimerPort::lose(const QString& reason) {
    // The lines read before the failure were posted before it, so they are all delivered.
    shut();
    m_lost = true;
    m_lastError = reason;
    Q_EMIT connectionLost(m_device, reason);
}

void TimerPort::watch() {
    if (isOpen()) {
        // A node can go away, or its by-id link move on, without a read failing first.
        const std::optional<QString> now = m_system->resolvedPath(m_device);
        if (!now || *now != m_node)
            lose(QStringLiteral("Gerät entfernt"));
        return;
    }
    if (!m_lost || !openNow())
        return;
    m_lost = false;
    Q_EMIT connectionRestored(m_device);
}

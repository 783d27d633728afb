#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class SerialDataReader;
class SerialLine;
class SerialSystem;

// The serial port a professional timer sends its lines on: holds the device, reads it on a
// thread of its own and emits every line there, with the program clock's reading when its last
// byte came in (a receiver on another thread gets it queued; one connected directly reads it at
// once, however busy the window is). No line of an opening comes after close() returns. It heals
// like the light barriers' port: a device that stops answering or whose node goes away is looked
// for every second under the name it was opened by (a /dev/serial/by-id link follows the adapter to
// its new node) and opened again.
class TimerPort : public QObject {
    Q_OBJECT
public:
    using MicrosecondClock = std::function<qint64()>;

    TimerPort(std::shared_ptr<SerialSystem> system, MicrosecondClock clock,
              QObject* parent = nullptr);
    ~TimerPort() override;

    // Opens the device (a path or a by-id link) at this rate, lines ending in any of the
    // terminators; false with lastError() when it cannot be opened now: it is then looked for
    // every second, and connectionRestored tells when it is open.
    bool open(const QString& device, quint32 baudRate, const QByteArray& terminators);
    // Closes and stops looking for a lost device.
    void close();
    bool isOpen() const;
    // The device as the settings name it, empty when none was opened.
    QString device() const { return m_device; }
    QString lastError() const { return m_lastError; }
    bool isReconnecting() const { return m_lost; }

    static constexpr int WatchIntervalMs = 1000;

Q_SIGNALS:
    void lineReceived(const QByteArray& line, qint64 stampMicroseconds);
    void connectionLost(const QString& device, const QString& reason);
    void connectionRestored(const QString& device);

private:
    bool openNow();
    void fail(quint64 generation, int error);
    void lose(const QString& reason);
    void watch();
    void shut();

    std::shared_ptr<SerialSystem> m_system;
    MicrosecondClock m_clock;
    std::unique_ptr<SerialLine> m_line;
    std::unique_ptr<SerialDataReader> m_reader;
    QString m_device;
    QString m_node; // what the device resolved to when it was opened
    quint32 m_baudRate = 9600;
    QByteArray m_terminators;
    QString m_lastError;
    bool m_lost = false;
    quint64 m_generation = 0;
    QTimer m_watch;
};

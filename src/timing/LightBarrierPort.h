#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class BarrierLogic;
class StuckLineWatch;
class SerialSystem;
class SerialPort;
class TickSource;

// The serial port of the light barriers as the main window keeps it: a SerialPort with the
// window's line settings whose line events, stamped when the line changed, drive the barrier
// logic. Opening and closing follow the window's start-up, settings dialog and shutdown.
class LightBarrierPort : public QObject {
    Q_OBJECT
public:
    // The port reads the clock on its monitor thread and keeps it as long as it lives.
    LightBarrierPort(BarrierLogic& barriers, std::shared_ptr<SerialSystem> system,
                     std::shared_ptr<const TickSource> ticks, QObject* parent = nullptr);
    ~LightBarrierPort() override;

    SerialPort& comPort() { return *m_port; }
    const SerialPort& comPort() const { return *m_port; }
    bool isOpen() const;
    // The lines of the open port that stay active too long.
    StuckLineWatch& stuckLines() { return *m_stuck; }

    // Ports 1 to 16 present now, as PresentPortMask.
    quint32 scanSerialPorts() const;

    // Opens port n with the designed settings, watching the ring-indicator line too when
    // System B is on. When the port cannot be opened the light
    // barriers stay off, the port number becomes 0 and false is returned; why is kept in
    // lastError(). Port 0 closes only.
    bool open(int port);
    // Shutdown: stops watching and closes the device; nothing when closed.
    void close();

    QString lastError() const { return m_lastError; }
    // The errno of the last failed opening (EBUSY, EACCES, ENOENT, ...); 0 after a success or
    // when the device opened but could not be set up.
    int lastErrorCode() const { return m_lastErrorCode; }
    // Why the monitor thread of the open port has no real-time priority (German, for the
    // operator); empty when it has one or no port was opened.
    QString realtimeNotice() const { return m_realtimeNotice; }

    // The adapter went away and is being watched for; the run clock and the keys go on.
    bool isReconnecting() const { return !m_lostDevice.isEmpty(); }
    static QString lostText(const QString& device) {
        return QStringLiteral("Lichtschranken getrennt: ") + device;
    }
    static QString restoredText() { return QStringLiteral("Lichtschranken wieder verbunden"); }
    // How often the adapter is looked for, and checked for a node that went away.
    static constexpr int WatchIntervalMs = 1000;

Q_SIGNALS:
    // A line change as it arrives, before the barrier logic acts on it.
    void lineChanged(quint32 changedEvents, quint32 status, qint64 stampMicroseconds);
    // The first opening whose monitor thread got no real-time priority; told once per run.
    void realtimeUnavailable(const QString& notice);
    // The open adapter stopped answering or its node went away (device path, why).
    void connectionLost(const QString& device, const QString& reason);
    // The same adapter is open again with the same settings (its device path now).
    void connectionRestored(const QString& device);

private:
    bool tryOpen();
    void takeRealtimeOutcome();
    void lose(const QString& device, const QString& reason);
    void watch();

    BarrierLogic& m_barriers;
    std::unique_ptr<SerialPort> m_port;
    StuckLineWatch* m_stuck = nullptr;
    QString m_lastError;
    int m_lastErrorCode = 0;
    QString m_realtimeNotice;
    bool m_realtimeTold = false;
    QString m_lostDevice;
    QTimer m_watch;
};

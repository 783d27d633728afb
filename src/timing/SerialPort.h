#pragma once

#include "platform/RealtimePriority.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class RealtimeSystem;
class SerialLine;
class SerialLineMonitor;
class SerialSystem;
struct LineChange;

// The serial port of the light barriers: holds the device, watches its modem-status lines on a
// thread of its own and delivers every line change on the main thread together with the time
// the line changed, so a busy window delays the handling, never the time.
class SerialPort : public QObject {
    Q_OBJECT
    Q_PROPERTY(BaudRate baudRate READ baudRate WRITE setBaudRate)
    Q_PROPERTY(qint32 userBaudRate READ userBaudRate WRITE setUserBaudRate)
    Q_PROPERTY(int port READ port WRITE setPort)
    Q_PROPERTY(Parity parity READ parity WRITE setParity)
    Q_PROPERTY(StopBits stopBits READ stopBits WRITE setStopBits)
    Q_PROPERTY(FlowControl flowControl READ flowControl WRITE setFlowControl)
    Q_PROPERTY(int dataBits READ dataBits WRITE setDataBits)
    Q_PROPERTY(LineEvents events READ events WRITE setEvents)
    Q_PROPERTY(bool dtrEnabled READ dtrEnabled WRITE setDtrEnabled)
    Q_PROPERTY(qint32 writeBufferSize READ writeBufferSize WRITE setWriteBufferSize)
    Q_PROPERTY(qint32 readBufferSize READ readBufferSize WRITE setReadBufferSize)

public:
    enum class BaudRate {
        br110,
        br300,
        br600,
        br1200,
        br2400,
        br4800,
        br9600,
        br14400,
        br19200,
        br38400,
        br56000,
        br57600,
        br115200,
        br128000,
        br256000,
        brUser
    };
    Q_ENUM(BaudRate)
    enum class Parity { prNone, prOdd, prEven, prMark, prSpace };
    Q_ENUM(Parity)
    enum class StopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
    Q_ENUM(StopBits)
    enum class FlowControl { fcNone, fcRtsCts, fcXonXoff };
    Q_ENUM(FlowControl)
    // One flag per event in the declared order; EventMaskFor gives the comm event bits.
    enum class LineEvent {
        evRxChar = 0x001,
        evTxEmpty = 0x002,
        evRxFlag = 0x004,
        evRing = 0x008,
        evBreak = 0x010,
        evCTS = 0x020,
        evDSR = 0x040,
        evError = 0x080,
        evRLSD = 0x100
    };
    Q_DECLARE_FLAGS(LineEvents, LineEvent)
    Q_FLAG(LineEvents)

    // Comm event bits of an event word.
    static constexpr quint32 EV_RXCHAR = 0x0001;
    static constexpr quint32 EV_RXFLAG = 0x0002;
    static constexpr quint32 EV_TXEMPTY = 0x0004;
    static constexpr quint32 EV_CTS = 0x0008;
    static constexpr quint32 EV_DSR = 0x0010;
    static constexpr quint32 EV_RLSD = 0x0020;
    static constexpr quint32 EV_BREAK = 0x0040;
    static constexpr quint32 EV_ERR = 0x0080;
    static constexpr quint32 EV_RING = 0x0100;
    // Bits of the modem-status word.
    static constexpr quint32 MS_CTS_ON = 0x10;
    static constexpr quint32 MS_DSR_ON = 0x20;
    static constexpr quint32 MS_RING_ON = 0x40;
    static constexpr quint32 MS_RLSD_ON = 0x80;

    // Microseconds of a monotonic clock; called on the monitor thread, so it must be
    // thread-safe. The stamps of the line events come from it.
    using MicrosecondClock = std::function<qint64()>;
    // The program's one clock (MonotonicTickSource), which time synchronisation cannot slew.
    static qint64 steadyClockMicroseconds();

    // The real serial system and the program's clock.
    explicit SerialPort(QObject* parent = nullptr);
    SerialPort(std::shared_ptr<SerialSystem> system, MicrosecondClock clock,
               QObject* parent = nullptr);
    ~SerialPort() override;

    BaudRate baudRate() const { return m_baudRate; }
    void setBaudRate(BaudRate value) { m_baudRate = value; }
    qint32 userBaudRate() const { return m_baudRateUser; }
    void setUserBaudRate(qint32 value) { m_baudRateUser = value; }
    int port() const { return m_port; }
    // Kept within 0 to 255, the numbers a port can have.
    void setPort(int value);
    Parity parity() const { return m_parity; }
    void setParity(Parity value) { m_parity = value; }
    StopBits stopBits() const { return m_stopBits; }
    void setStopBits(StopBits value) { m_stopBits = value; }
    FlowControl flowControl() const { return m_flowControl; }
    void setFlowControl(FlowControl value) { m_flowControl = value; }
    int dataBits() const { return m_dataBits; }
    // Above 8 stores 8, below 5 stores 5.
    void setDataBits(int value);
    LineEvents events() const { return m_events; }
    void setEvents(LineEvents value) { m_events = value; }
    bool dtrEnabled() const { return m_enableDtr; }
    void setDtrEnabled(bool value) { m_enableDtr = value; }
    // The buffer sizes are kept as properties only: the tty driver sizes its own queues, and
    // the port never reads or writes data.
    qint32 writeBufferSize() const { return m_writeBufSize; }
    void setWriteBufferSize(qint32 value) { m_writeBufSize = value; }
    qint32 readBufferSize() const { return m_readBufSize; }
    void setReadBufferSize(qint32 value) { m_readBufSize = value; }

    // Closes, opens the device of Port exclusively, applies the settings, starts watching the
    // lines on a thread raised to real-time scheduling where possible, then emits opened. Throws
    // EComHandle or EComState; the port is closed then.
    void open();
    // Open for the device at this path, e.g. the same adapter under a new node name.
    void openDevice(const QString& path);
    // Stops watching (within a few milliseconds), closes the device and emits closed;
    // nothing when the port is not open. Line events not yet delivered are dropped.
    void close();
    bool isConnected() const { return m_connected; }
    // The device node opened by the last successful Open, empty when closed.
    QString devicePath() const { return m_devicePath; }
    // The /dev/serial/by-id name of the adapter opened last (kept after Close and after its
    // loss, so that the same adapter can be found again), empty for a built-in port.
    QString stableName() const { return m_stableName; }
    // Where the adapter opened last is now: its by-id name first, else its old node; nothing
    // while it is absent.
    std::optional<QString> currentDevicePath() const;
    // The adapter opened last, wherever it is now, with the same settings; false while it is
    // absent or cannot be opened yet.
    bool reopen();

    // Where Open asks for real-time scheduling of the monitor thread (the kernel and
    // RealtimeKit unless replaced), and what the last Open got.
    void setRealtimeSystem(std::shared_ptr<RealtimeSystem> system);
    const RealtimePriority::Outcome& realtimePriority() const { return m_realtime; }

    // The lines now (MS_* bits); 0 when closed or when the device does not answer.
    quint32 modemStatus() const;
    // Bytes waiting in the input queue; 0 when closed.
    int inputCount() const;

    // Emits the handlers for the bits of an event word in the fixed order EV_RXCHAR,
    // EV_TXEMPTY, EV_BREAK, EV_RING, EV_CTS, EV_DSR, EV_RXFLAG, EV_RLSD, EV_ERR.
    void dispatchEvents(quint32 eventMask, quint32 modemStatus, qint64 stampMicroseconds);

    // The port numbers ("COM" + n) and their devices, as the settings dialog lists them.
    std::optional<QString> devicePathForPort(int port) const;
    // Present ports 1 to 16 as bits 0 to 15, the highest present port in bits 16 to 31.
    quint32 scanSerialPorts() const;

    static quint32 eventMaskFor(LineEvents events);
    // Bits per second of a rate, BaudRateUser for brUser.
    static quint32 baudRateValue(BaudRate rate, qint32 user);
    // TIOCM_* line bits to MS_* status bits and to EV_* event bits.
    static quint32 modemStatusFromLines(quint32 lines);
    static quint32 eventMaskFromLines(quint32 lines);

signals:
    void rxChar(int inQue);
    void txEmpty();
    void breakReceived();
    void ringChanged(quint32 modemStatus, qint64 stampMicroseconds);
    void ctsChanged(quint32 modemStatus, qint64 stampMicroseconds);
    void dsrChanged(quint32 modemStatus, qint64 stampMicroseconds);
    void rxFlag();
    void dcdChanged(quint32 modemStatus, qint64 stampMicroseconds);
    void errorOccurred();
    void opened();
    void closed();
    // Once per line change, before the per-line handlers: which lines changed (EV_* bits),
    // all lines right after the change (MS_* bits), when it happened on the clock, and how
    // many edges the driver counted for it.
    void lineEvent(quint32 eventMask, quint32 modemStatus, qint64 stampMicroseconds, int edges);
    // The device stopped answering (an unplugged adapter); closed follows at once.
    void deviceLost(const QString& reason);

private:
    void deliver(quint64 generation, const LineChange& change);
    void handleFailure(quint64 generation, int error);
    quint32 watchedLines() const;

    std::shared_ptr<SerialSystem> m_system;
    MicrosecondClock m_clock;
    std::shared_ptr<RealtimeSystem> m_realtimeSystem;
    RealtimePriority::Outcome m_realtime;

    BaudRate m_baudRate = BaudRate::br9600;
    qint32 m_baudRateUser = 9600;
    int m_port = 1;
    Parity m_parity = Parity::prNone;
    StopBits m_stopBits = StopBits::sbOneStopBit;
    FlowControl m_flowControl = FlowControl::fcNone;
    int m_dataBits = 8;
    LineEvents m_events{LineEvent::evRxChar, LineEvent::evTxEmpty, LineEvent::evRxFlag,
                        LineEvent::evRing,   LineEvent::evBreak,   LineEvent::evCTS,
                        LineEvent::evDSR,    LineEvent::evError,   LineEvent::evRLSD};
    bool m_enableDtr = true;
    qint32 m_writeBufSize = 2048;
    qint32 m_readBufSize = 2048;

    std::unique_ptr<SerialLine> m_line;
    std::unique_ptr<SerialLineMonitor> m_monitor;
    bool m_connected = false;
    QString m_devicePath;
    QString m_lastDevicePath;
    QString m_stableName;
    // Tells the events of one opening from those of an earlier one still in the queue.
    quint64 m_generation = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SerialPort::LineEvents)

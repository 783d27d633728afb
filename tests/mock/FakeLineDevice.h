#pragma once

#include "platform/SerialSystem.h"

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A serial device whose modem-status lines follow a script played against the program's clock.
// Its TIOCMIWAIT blocks like the kernel's (in a real read(2), so the monitor's wake signal
// interrupts it) and wakes on a counted edge of a watched line.
class FakeLineDevice {
public:
    using Clock = std::function<qint64()>;

    struct Options {
        bool characterDevice = true;
        bool canWait = true;        // false: TIOCMIWAIT fails with ENOTTY (polled drivers)
        bool wakesWaiter = true;    // false: a change does not end a running TIOCMIWAIT
        bool hasCounters = true;    // false: TIOCGICOUNT fails with ENOTTY
        bool hasModemLines = true;  // false: the modem ioctls fail with ENOTTY (a pty)
        bool lockedByOther = false; // another program holds the flock
        int openError = 0;          // errno for open(2), 0 to succeed
        int setAttributesError = 0; // errno for tcsetattr, 0 to succeed
    };

    // One scripted event: set the levels of some lines, pulse lines (on and off again, or off
    // and on again, between two looks), or fail like an unplugged adapter.
    struct Step {
        enum class Kind { Set, Pulse, Fail };
        qint64 atMicroseconds = 0;
        Kind kind = Kind::Set;
        quint32 lines = 0;
        quint32 levels = 0;
        int error = 0;
    };
    static Step setStep(qint64 at, quint32 lines, quint32 levels) {
        return {at, Step::Kind::Set, lines, levels, 0};
    }
    static Step pulseStep(qint64 at, quint32 lines) { return {at, Step::Kind::Pulse, lines, 0, 0}; }
    static Step failStep(qint64 at, int error) { return {at, Step::Kind::Fail, 0, 0, error}; }

    FakeLineDevice(Options options, Clock clock);
    ~FakeLineDevice();
    FakeLineDevice(const FakeLineDevice&) = delete;
    FakeLineDevice& operator=(const FakeLineDevice&) = delete;

    const Options& options() const { return m_options; }

    // Immediate changes; they return the clock time at which the change took effect.
    qint64 setLevels(quint32 lines, quint32 levels);
    qint64 pulse(quint32 lines);
    qint64 injectError(int error);

    // Plays the steps on a thread of the device, each at its time on the clock.
    void play(std::vector<Step> steps);
    // Run on the player thread when it cannot give itself real-time scheduling, so that a
    // benchmark can ask the desktop for it instead.
    void setPlayerSetup(std::function<void()> setup) { m_playerSetup = std::move(setup); }
    // Waits until the script has been played completely.
    bool waitUntilPlayed(int timeoutMilliseconds);
    // When each played step took effect on the clock, in script order.
    std::vector<qint64> appliedAt() const;
    // Edges the device has produced so far on all lines.
    quint64 edgesProduced() const;

    // True while a TIOCMIWAIT is blocked on this device.
    bool isWaiting() const;
    // DTR and RTS as the program set them.
    quint32 outputs() const;

    // The calls FakeSerialSystem forwards; results as SerialSystem gives them.
    int modemBits(int* bits);
    int setOutputs(int bits);
    int clearOutputs(int bits);
    int counters(SerialLineCounters* counters);
    int waitForChange(quint32 lines);

private:
    qint64 apply(const Step& step);
    void wakeWaiter();

    const Options m_options;
    Clock m_clock;
    mutable std::mutex m_mutex;
    quint32 m_levels = 0;
    quint32 m_outputs = 0;
    SerialLineCounters m_counters;
    quint64 m_edges = 0;
    int m_error = 0;
    int m_waiting = 0;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;

    std::function<void()> m_playerSetup;
    std::thread m_player;
    std::atomic<bool> m_stopPlayer{false};
    std::vector<qint64> m_appliedAt;
    std::size_t m_stepsToPlay = 0;
};

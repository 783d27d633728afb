#pragma once

#include "platform/SerialLineSettings.h"
#include "platform/SerialSystem.h"

#include <optional>

// One serial device held exclusively, set up raw, with DTR and RTS on as the contacts' supply;
// closing gives the device back with the line settings it had before.
class SerialLine {
public:
    explicit SerialLine(SerialSystem& system) : m_system(system) {}
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Opens the device exclusively; 0 or the negated errno (the device is closed again then).
    int open(const QString& path);
    // Applies the settings and switches the supply lines on; 0 or the negated errno.
    int configure(const SerialLineSettings& settings);
    // Puts back the termios attributes found by configure, then closes the device.
    void close();

    // Whether the device is a character device that no one holds locked, checked without
    // TIOCEXCL: that flag would outlive the probe on a tty another program has open.
    static int probe(SerialSystem& system, const QString& path);

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }

    // The raw termios for the settings, from the device's current one; nothing when the
    // baud rate has no termios speed.
    static std::optional<termios> rawAttributes(const termios& current,
                                                const SerialLineSettings& settings);
    static std::optional<speed_t> speedFor(quint32 baudRate);

private:
    SerialSystem& m_system;
    int m_fd = -1;
    // The attributes another program (a modem, a console getty) left on the device.
    std::optional<termios> m_found;
};

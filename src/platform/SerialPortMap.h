#pragma once

#include "platform/SerialSystem.h"

#include <QList>
#include <QString>

#include <optional>

// Gives the serial devices the port numbers the program calls "COM" + n, the same numbers for
// the same devices at every start:
// - a built-in UART /dev/ttyS<k> (one the kernel found hardware for) is port k + 1;
// - the adapters follow after the highest built-in port, first those with a name under
//   /dev/serial/by-id (ordered by that name, which carries maker, model and serial number),
//   then /dev/ttyUSB<k> and /dev/ttyACM<k> that have none (ordered by kind and k).
// The kernel console's port (/proc/consoles) is never offered: the kernel writes its messages
// there. A console UART keeps its number unused, so the numbers after it do not move.
class SerialPortMap {
public:
    struct Entry {
        int port = 0;
        QString devicePath; // the node that is opened, e.g. /dev/ttyUSB0
        QString stableName; // the /dev/serial/by-id name, empty for built-in ports
    };

    // Ports above this have no number in the program's settings.
    static constexpr int HighestPort = 255;
    // ScanSerialPorts looks at ports 1 to this.
    static constexpr int ScannedPorts = 16;

    explicit SerialPortMap(SerialSystem& system);

    // Where udev links each adapter under a name that follows it from node to node.
    static QString byIdDirectory() { return QStringLiteral("/dev/serial/by-id"); }

    const QList<Entry>& entries() const { return m_entries; }
    std::optional<QString> devicePathForPort(int port) const;
    std::optional<Entry> entryForPort(int port) const;

    // One bit per port 1 to 16 that exists and can be opened exclusively now (bit n-1), and
    // the highest such port number in the upper 16 bits; 0 when there is none.
    quint32 scanSerialPorts() const;

    // The device nodes the kernel console writes to, e.g. /dev/ttyS0.
    static QStringList consoleDevices(SerialSystem& system);

private:
    SerialSystem& m_system;
    QList<Entry> m_entries;
};

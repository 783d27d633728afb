#include "platform/SerialPortMap.h"

#include "platform/SerialLine.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

const QString DeviceDirectory = QStringLiteral("/dev");

// The kernel keeps placeholder ttyS nodes for UARTs that are not there; their type is 0.
bool uartPresent(SerialSystem& system, const QString& name) {
    const std::optional<QByteArray> type =
        system.readSmallFile(QStringLiteral("/sys/class/tty/%1/type").arg(name));
    if (!type)
        return false;
    bool ok = false;
    const int value = type->trimmed().toInt(&ok);
    return ok && value != 0;
}

} // namespace

SerialPortMap::SerialPortMap(SerialSystem& system) : m_system(system) {
    static const QRegularExpression uartName(QStringLiteral("^ttyS(\\d+)$"));
    static const QRegularExpression adapterName(QStringLiteral("^tty(USB|ACM)(\\d+)$"));

    const QStringList devices = system.directoryEntries(DeviceDirectory);
    int nextPort = 1;
    QList<std::pair<int, QString>> uarts;
    QList<std::pair<std::pair<QString, int>, QString>> unnamedAdapters;
    for (const QString& name : devices) {
        if (const QRegularExpressionMatch match = uartName.match(name); match.hasMatch()) {
            const int port = match.captured(1).toInt() + 1;
            if (port <= HighestPort && uartPresent(system, name))
                uarts.append({port, DeviceDirectory + u'/' + name});
        } else if (const QRegularExpressionMatch adapter = adapterName.match(name);
                   adapter.hasMatch()) {
            unnamedAdapters.append({{adapter.captured(1), adapter.captured(2).toInt()},
                                    DeviceDirectory + u'/' + name});
        }
    }
    const QStringList consoles = consoleDevices(system);
    QSet<QString> taken(consoles.begin(), consoles.end());
    std::sort(uarts.begin(), uarts.end());
    for (const auto& [port, path] : uarts) {
        if (!taken.contains(path))
            m_entries.append({port, path, {}});
        nextPort = port + 1;
    }

    for (const Entry& entry : std::as_const(m_entries))
        taken.insert(entry.devicePath);
    QStringList stableNames = system.directoryEntries(byIdDirectory());
    std::sort(stableNames.begin(), stableNames.end());
    for (const QString& stableName : std::as_const(stableNames)) {
        const std::optional<QString> target =
            system.resolvedPath(byIdDirectory() + u'/' + stableName);
        if (!target || taken.contains(*target) || nextPort > HighestPort)
            continue;
        taken.insert(*target);
        m_entries.append({nextPort++, *target, stableName});
    }
    std::sort(unnamedAdapters.begin(), unnamedAdapters.end());
    for (const auto& [key, path] : std::as_const(unnamedAdapters)) {
        if (taken.contains(path) || nextPort > HighestPort)
            continue;
        taken.insert(path);
        m_entries.append({nextPort++, path, {}});
    }
}

QStringList SerialPortMap::consoleDevices(SerialSystem& system) {
    // One line per console: its name first, then flags and the device numbers, as in
    // "ttyS0                -W- (EC p a)    4:64".
    const std::optional<QByteArray> listing =
        system.readSmallFile(QStringLiteral("/proc/consoles"));
    QStringList devices;
    if (!listing)
        return devices;
    for (const QByteArray& line : listing->split('\n')) {
        const QByteArray name = line.simplified().split(' ').value(0);
        if (!name.isEmpty() && !name.contains('/'))
            devices.append(DeviceDirectory + u'/' + QString::fromLatin1(name));
    }
    return devices;
}

std::optional<SerialPortMap::Entry> SerialPortMap::entryForPort(int port) const {
    for (const Entry& entry : m_entries) {
        if (entry.port == port)
            return entry;
    }
    return std::nullopt;
}

std::optional<QString> SerialPortMap::devicePathForPort(int port) const {
    if (const std::optional<Entry> entry = entryForPort(port))
        return entry->devicePath;
    return std::nullopt;
}

quint32 SerialPortMap::scanSerialPorts() const {
    quint32 mask = 0;
    for (int port = 1; port <= ScannedPorts; ++port) {
        const std::optional<QString> path = devicePathForPort(port);
        if (!path)
            continue;
        if (SerialLine::probe(m_system, *path) < 0)
            continue;
        mask = (1U << (port - 1)) | (mask & 0xFFFFU) | (static_cast<quint32>(port) << 16);
    }
    return mask;
}

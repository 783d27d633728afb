#include "settings/PortListBuilder.h"

#include <QRegularExpression>

QStringList PortListBuilder::entries(quint32 presentPortMask,
                                     const QList<SerialPortMap::Entry>& devices) {
    QStringList list{noPortEntry()};
    const int highest = static_cast<int>(presentPortMask >> 16);
    for (int port = 1; port <= highest && port <= 16; ++port) {
        if (presentPortMask & (1u << (port - 1)))
            list.append(entryText(port, devices));
    }
    return list;
}

QString PortListBuilder::entryText(int port, const QList<SerialPortMap::Entry>& devices) {
    QString text = QStringLiteral("COM") + QString::number(port);
    for (const SerialPortMap::Entry& device : devices) {
        if (device.port != port)
            continue;
        text += QStringLiteral("  ") + device.devicePath;
        const QString adapter = adapterName(device.stableName);
        if (!adapter.isEmpty())
            text += QStringLiteral(" (") + adapter + u')';
        break;
    }
    return text;
}

QString PortListBuilder::adapterName(const QString& stableName) {
    // usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0: bus, maker and model with underscores,
    // the serial number last, then the interface.
    static const QRegularExpression bus(QStringLiteral("^[a-z]+-"));
    static const QRegularExpression interface(QStringLiteral("(-if[0-9]+)?(-port[0-9]+)?$"));
    QString name = stableName;
    name.remove(bus);
    name.remove(interface);
    QStringList words = name.split(u'_', Qt::SkipEmptyParts);
    if (words.size() > 1)
        words.removeLast();
    return words.join(u' ').trimmed();
}

int PortListBuilder::portNumber(const QString& entry) {
    if (entry.size() < 4 || !entry.startsWith(QStringLiteral("COM")) || !entry.at(3).isDigit())
        return 0;
    int number = entry.at(3).digitValue();
    if (entry.size() > 4 && entry.at(4).isDigit())
        number = number * 10 + entry.at(4).digitValue();
    return number;
}

int PortListBuilder::indexOfPort(const QStringList& entries, int port) {
    if (port <= 0)
        return 0;
    for (int index = 1; index < entries.size(); ++index) {
        if (portNumber(entries.at(index)) == port)
            return index;
    }
    return 0;
}

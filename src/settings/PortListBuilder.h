#pragma once

#include "platform/SerialPortMap.h"

#include <QList>
#include <QString>
#include <QStringList>

// The entries of the light-barrier port list: "Keine", then "COM" + n for each present port,
// each followed by the device it stands for, so the operator can tell the adapters apart.
class PortListBuilder {
public:
    static QString noPortEntry() { return QStringLiteral("Keine"); }

    // "Keine" and, for n = 1 up to the highest present port (upper 16 bits of the mask), the
    // entry of port n when bit n-1 is set.
    static QStringList entries(quint32 presentPortMask, const QList<SerialPortMap::Entry>& devices);
    // "COM3  /dev/ttyUSB0 (FTDI FT232R USB UART)"; "COM3" alone when the device is unknown.
    static QString entryText(int port, const QList<SerialPortMap::Entry>& devices);
    // Maker and model from a /dev/serial/by-id name, without bus, serial number and interface;
    // empty when the name says nothing beyond the path.
    static QString adapterName(const QString& stableName);
    // The port number of an entry: its fourth character, and the fifth when that is a digit
    // (COM7 gives 7, COM12 gives 12); 0 for "Keine" or anything else.
    static int portNumber(const QString& entry);
    // The index of the entry of this port; 0 ("Keine") when it is not in the list.
    static int indexOfPort(const QStringList& entries, int port);
};

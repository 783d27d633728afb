#pragma once

#include <QtGlobal>

// The line parameters applied at open; the platform layer's own copy of the port's properties.
struct SerialLineSettings {
    enum class Parity { None, Odd, Even, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };
    enum class FlowControl { None, RtsCts, XonXoff };

    quint32 baudRate = 9600;
    int dataBits = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    FlowControl flowControl = FlowControl::None;
    bool enableDtr = true;
    // A light barrier's port lives on its modem lines, so a device without them is refused. A
    // timer or a scoreboard only sends data: it works on any tty, a pty included.
    bool modemLinesRequired = true;
};

#pragma once

#include <QString>

// What the status bar says when the light-barrier port chosen in the settings could not be
// opened: which port, and what the operator can do about it.
class PortOpenFailure {
public:
    // The reason in the operator's words for an errno of opening a serial device.
    static QString reason(int error);
    // "Die Lichtschranken an COM3 konnten nicht geöffnet werden: ..."
    static QString statusText(int port, int error);
};

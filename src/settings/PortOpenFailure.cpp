#include "settings/PortOpenFailure.h"

#include <cerrno>

QString PortOpenFailure::reason(int error) {
    switch (error) {
    case EBUSY:
    case EWOULDBLOCK:
        return QStringLiteral("belegt (ein anderes Programm benutzt den Anschluss)");
    case EACCES:
    case EPERM:
        return QStringLiteral("keine Berechtigung (Benutzer in die Gruppe dialout aufnehmen)");
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return QStringLiteral("Gerät nicht mehr vorhanden (Adapter abgezogen?)");
    case 0:
        return QStringLiteral("der Anschluss lässt sich nicht einstellen");
    default:
        return QStringLiteral("Fehler %1").arg(error);
    }
}

QString PortOpenFailure::statusText(int port, int error) {
    return QStringLiteral("Die Lichtschranken an COM%1 konnten nicht geöffnet werden: %2")
        .arg(port)
        .arg(reason(error));
}

#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A session bus of its own with Debian's GNOME Keyring on it, its login keyring created and
// opened with a password, in a home folder of its own; the keyring is kept on disk there, so a
// restart finds what was stored.
class KeyringDaemon {
public:
    static QString program() { return QStringLiteral("/usr/bin/gnome-keyring-daemon"); }
    static QString busProgram() { return QStringLiteral("/usr/bin/dbus-daemon"); }

    KeyringDaemon();
    ~KeyringDaemon();

    // Starts the bus and the keyring; false with the reason in error().
    bool start();
    // Locks the default collection, as the desktop does when the screen locks.
    bool lock();
    // The keyring ends and starts again on the same bus, opened.
    bool restart();
    QDBusConnection bus() const { return m_bus; }
    QString error() const { return m_error; }

private:
    bool startKeyring();

    QTemporaryDir m_home;
    QProcess m_busProcess;
    QProcess m_keyring;
    QString m_address;
    QDBusConnection m_bus{QString()};
    QString m_error;
};

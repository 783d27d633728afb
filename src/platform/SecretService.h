#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QMap>
#include <QString>
#include <optional>

// The desktop's keyring (the freedesktop Secret Service: GNOME Keyring, KWallet's bridge,
// KeePassXC) on the session bus. Passwords are found by attributes. Only a default collection
// that is open already is used: the program never asks the desktop to unlock one, since its
// dialog could appear behind the timing window while the race runs. Every call has a short
// timeout, so a service that hangs costs a moment, not the start of the program.
class SecretService {
public:
    using Attributes = QMap<QString, QString>;

    static constexpr int timeoutMs = 2000;

    explicit SecretService(QDBusConnection bus = QDBusConnection::sessionBus());

    // A service answers and its default collection is open.
    bool isOpen();
    // The secret stored under exactly these attributes; nullopt when there is none or the
    // keyring cannot be asked.
    std::optional<QString> lookup(const Attributes& attributes);
    // Stores the secret under the attributes, replacing one stored before; false when the
    // keyring cannot take it.
    bool store(const QString& label, const Attributes& attributes, const QString& secret);
    // Takes away what is stored under the attributes; true when nothing is left.
    bool remove(const Attributes& attributes);

private:
    // The open session the secrets travel in, and the default collection; empty when the
    // keyring cannot be used.
    bool open();
    QList<QDBusObjectPath> unlockedItems(const Attributes& attributes);

    QDBusConnection m_bus;
    QString m_session;
    QString m_collection;
    bool m_tried = false;
};

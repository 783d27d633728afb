#include "settings/PasswordStore.h"

#include "platform/SecretService.h"
#include "settings/SecretFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

SecretService::Attributes attributesOf(const QString& settingsFile, const QString& name) {
    return {{QStringLiteral("application"), QStringLiteral("velmora")},
            {QStringLiteral("settings"), settingsFile},
            {QStringLiteral("name"), name}};
}

bool removeFile(const QString& path) {
    return path.isEmpty() || !QFile::exists(path) || QFile::remove(path);
}

} // namespace

PasswordStore::PasswordStore(QString settingsFile, std::shared_ptr<SecretService> keyring)
    : m_settingsFile(std::move(settingsFile)), m_keyring(std::move(keyring)) {}

QString PasswordStore::filePath(const QString& name) const {
    const QFileInfo store(m_settingsFile);
    if (m_settingsFile.isEmpty() || !store.isAbsolute())
        return QString();
    return store.absolutePath() + u'/' + store.completeBaseName() + u'-' + name +
           QStringLiteral(".passwort");
}

std::optional<QString> PasswordStore::read(const QString& name, Place place) const {
    if (place == Place::Keyring)
        return m_keyring ? m_keyring->lookup(attributesOf(m_settingsFile, name)) : std::nullopt;
    const QString path = filePath(name);
    return path.isEmpty() ? std::nullopt : SecretFile::read(path);
}

std::optional<PasswordStore::Place>
PasswordStore::write(const QString& name, const QString& password, Place before) const {
    const auto attributes = attributesOf(m_settingsFile, name);
    const QString path = filePath(name);
    if (password.isEmpty()) {
        const bool gone = before == Place::Keyring ? m_keyring && m_keyring->remove(attributes)
                                                   : removeFile(path);
        return gone ? std::optional(Place::Nowhere) : std::nullopt;
    }
    if (m_keyring && m_keyring->store(QFileInfo(m_settingsFile).completeBaseName() +
                                          QStringLiteral(": Passwort „%1“").arg(name),
                                      attributes, password)) {
        // A file left from before the keyring was open would keep the old password readable.
        removeFile(path);
        return Place::Keyring;
    }
    if (path.isEmpty() || !SecretFile::write(path, password))
        return std::nullopt;
    if (before == Place::Keyring && m_keyring)
        m_keyring->remove(attributes);
    return Place::File;
}

#pragma once

#include <QString>
#include <memory>
#include <optional>

class SecretService;

// The program's passwords (the broker's, the web space's): in the desktop's keyring where one
// is open, else each in a file of its own beside the settings that only the user may read.
// Neither place is the settings file, its backups or the journal. The settings remember where
// each password is, so a program without passwords never asks the keyring.
class PasswordStore {
public:
    enum class Place { Nowhere, File, Keyring };

    // settingsFile: the absolute path of the settings' file (the files and the keyring's
    // entries are named after it); keyring: none keeps every password in a file.
    PasswordStore(QString settingsFile, std::shared_ptr<SecretService> keyring);

    // The password of this name where the settings said it is.
    std::optional<QString> read(const QString& name, Place place) const;
    // Keeps the password (an empty one is taken away from where it was) and tells where it is
    // now; nullopt when it could not be kept.
    std::optional<Place> write(const QString& name, const QString& password, Place before) const;
    // The file a password of this name is kept in; empty for settings that are no file.
    QString filePath(const QString& name) const;

private:
    QString m_settingsFile;
    std::shared_ptr<SecretService> m_keyring;
};

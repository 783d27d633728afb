#pragma once

#include "settings/Settings.h"
#include "settings/SettingsLoad.h"

#include <QString>
#include <memory>
#include <optional>

class PasswordStore;
class QSettings;
class SecretService;

// Reads the settings once at start-up and writes them once at shutdown, under one key per
// program title. Reading stops at the first value that is missing or not a 32-bit number where
// one is expected, so a damaged store falls back to the defaults from there on.
class SettingsStore {
public:
    // The per-user store of this program title: ~/.config/Quarnek/<title>.conf on Linux,
    // HKCU\Software\Quarnek\<title> on Windows.
    static std::unique_ptr<QSettings> openForProgram(const QString& programTitle);

    // keyring: where passwords go when it is open; none keeps them in files beside the store.
    explicit SettingsStore(std::unique_ptr<QSettings> store,
                           std::shared_ptr<SecretService> keyring = nullptr);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Applies the stored values to settings in the reading order. Returns the name of the value
    // at which reading stopped (it and all later ones keep what settings held), or nullopt
    // when every value was read. Values outside their ranges are brought into them (see
    // Settings), so that what is used and saved again is always valid.
    std::optional<QString> load(Settings& settings) const;

    // Writes every value in the writing order; false when the store could not be written.
    bool save(const Settings& settings);
    // The same, but the values from loaded.stoppedAt on (in the reading order) that the store
    // holds and that are unchanged since the load stay as they are stored, and so do the
    // passwords unchanged since the load (one the keyring did not give at the start is not
    // taken away by the exit).
    bool save(const Settings& settings, const SettingsLoad& loaded);
    // The stored text of a value; nullopt when the store has no such value.
    std::optional<QString> storedText(const QString& key) const;

    // Where a password of this name (the MQTT password: "mqtt", the web host's: "webspace") is
    // kept beside the store when no keyring takes it, in a file only the user may read; empty
    // for a store that is no file.
    QString secretPath(const QString& name) const;

    // The names of the values in the reading order.
    static const QStringList& readingOrder();

private:
    std::optional<QString> loadInOrder(Settings& settings) const;
    void loadLiveResults(Settings& settings) const;
    void loadPublishing(Settings& settings) const;
    bool write(const Settings& settings, const SettingsLoad& loaded, bool allPasswords);
    std::optional<QString> loadPassword(const QString& name) const;
    bool savePassword(const QString& name, const QString& password);
    void loadSerialDevices(Settings& settings) const;

    std::unique_ptr<QSettings> m_store;
    std::unique_ptr<PasswordStore> m_passwords;
};

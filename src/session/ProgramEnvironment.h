#pragma once

#include "platform/ProgramPaths.h"

#include <QChar>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class InhibitorBus;
class SecretService;
class QSettings;
class SerialSystem;
class TickSource;

// Everything that identifies one installation and one run of the program: the executable's
// path (which names the program), the data folders, the decimal separator, where settings live
// and, for tests, the clock of the timing, the serial calls of the light-barrier port and the
// services that keep the machine awake. The session reads these instead of globals; what only a
// window needs (file dialogs, who answers questions) is in the window's seams.
class ProgramEnvironment {
public:
    ProgramEnvironment() = default;
    explicit ProgramEnvironment(QString executablePath);

    // The running program: its own executable, VELMORA_DATA_DIR (environment, then the
    // installed data folder), the user's data folder and the system's decimal separator.
    static ProgramEnvironment fromApplication();

    QString executablePath() const { return m_executablePath; }
    QString executableDir() const;
    // The executable's file name without directory and extension.
    QString programTitle() const;
    QString registryKeyPath() const;

    QString dataDir() const { return m_dataDir; }
    void setDataDir(const QString& dir) { m_dataDir = dir; }

    // Where the backup goes when the executable's folder is not writable.
    QString userDataDir() const { return m_userDataDir; }
    void setUserDataDir(const QString& dir) { m_userDataDir = dir; }

    ProgramPaths paths() const;
    QString backupFileName() const { return paths().backupFileName(); }

    QChar decimalSeparator() const { return m_decimalSeparator; }
    void setDecimalSeparator(QChar separator) { m_decimalSeparator = separator; }

    // Empty: the platform's per-user store. Otherwise the settings are the INI file
    // <folder>/<ProgramTitle>.conf (tests use a temporary folder); either way each program
    // title has its own.
    void setSettingsFolder(const QString& folder) { m_settingsFolder = folder; }
    std::unique_ptr<QSettings> openSettings() const;

    // Empty: the system's steady clock. It is read on the port's monitor thread as well, so an
    // injected one must be thread-safe.
    const std::shared_ptr<const TickSource>& tickSource() const { return m_tickSource; }
    void setTickSource(std::shared_ptr<const TickSource> ticks) { m_tickSource = std::move(ticks); }

    // Empty: the operating system's serial devices.
    const std::shared_ptr<SerialSystem>& serialSystem() const { return m_serialSystem; }
    void setSerialSystem(std::shared_ptr<SerialSystem> system) {
        m_serialSystem = std::move(system);
    }

    // Where the passwords go. Unset: the desktop's keyring for the platform's per-user store;
    // a settings folder of its own (tests, a portable setup) keeps its passwords beside it.
    std::shared_ptr<SecretService> keyring() const;
    void setKeyring(std::shared_ptr<SecretService> keyring) { m_keyring = std::move(keyring); }

    // Empty: the operating system's devices for the data lines of a timer and a scoreboard
    // (tests drive them through pseudo-terminals, which the light barriers' seam cannot be).
    const std::shared_ptr<SerialSystem>& dataLineSystem() const { return m_dataLineSystem; }
    void setDataLineSystem(std::shared_ptr<SerialSystem> system) {
        m_dataLineSystem = std::move(system);
    }

    // Empty: the desktop's D-Bus services that keep the machine awake.
    const std::shared_ptr<InhibitorBus>& inhibitorBus() const { return m_inhibitorBus; }
    void setInhibitorBus(std::shared_ptr<InhibitorBus> bus) { m_inhibitorBus = std::move(bus); }

    // Whether the desktop has an application registered for a MIME type. Unset: the desktop's
    // own database is asked.
    using ApplicationLookup = std::function<bool(const char* mimeType)>;
    void setApplicationLookup(ApplicationLookup lookup) { m_applicationLookup = std::move(lookup); }
    bool hasApplicationFor(const char* mimeType) const;

    // A file found by name next to the executable, else in the data folder.
    std::optional<QString> findDataFile(const QString& fileName) const;
    // Where a file by that name is expected when it is missing: next to the executable.
    QString pathNextToExecutable(const QString& fileName) const;

    std::optional<QString> helpFile() const;
    std::optional<QString> titlePicture() const;
    QString wordTemplatePath() const;
    QString excelTemplatePath() const;

private:
    QString m_executablePath;
    QString m_dataDir;
    QString m_userDataDir;
    QChar m_decimalSeparator = u',';
    QString m_settingsFolder;
    std::shared_ptr<const TickSource> m_tickSource;
    std::shared_ptr<SerialSystem> m_serialSystem;
    std::shared_ptr<SerialSystem> m_dataLineSystem;
    std::shared_ptr<InhibitorBus> m_inhibitorBus;
    std::shared_ptr<SecretService> m_keyring;
    ApplicationLookup m_applicationLookup;
};

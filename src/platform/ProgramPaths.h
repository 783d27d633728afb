#pragma once

#include <QDate>
#include <QString>

// Where one installation keeps its files, derived from the executable's own path: a copy under
// another name has its own title and backup file.
class ProgramPaths {
public:
    // The data folder of the installation the executable belongs to: <prefix>/share/velmora
    // beside its <prefix>/bin when that exists (a package unpacked under another prefix still
    // finds its files), else the folder the build was configured for.
    static QString installedDataDir(const QString& executablePath, const QString& configuredDir);

    ProgramPaths(const QString& executablePath, const QString& dataDir, const QString& userDataDir);

    // The executable's file name without directory and extension.
    QString programTitle() const { return m_title; }
    // With a trailing '/'.
    QString executableDir() const { return m_executableDir; }
    QString dataDir() const { return m_dataDir; }

    // The executable sits in <prefix>/bin beside <prefix>/share/velmora: the package manager
    // owns those folders, so nothing is written there even when they are writable (root).
    bool isInstalled() const;

    // Where the program keeps the files it writes by itself (backup, journal): next to the
    // executable when that folder takes files and is not an installed one, else the user's
    // data folder (created here when missing). With a trailing '/'.
    QString writableFolder() const;

    // Where a page written under a fixed name goes: the working folder when it takes files and
    // is not one of the installation's folders, else writableFolder(). With a trailing '/'.
    QString pageFolder(const QString& workingDir) const;

    // <title>-Sicherungsdatei.txt in writableFolder().
    QString backupFileName() const;

    // Where start-up reads the backup and where it is written from then on.
    struct BackupLocation {
        QString readPath;  // may not exist
        QString writePath; // backupFileName()
        // The competition goes on in another file than the one it came from.
        bool relocated() const { return readPath != writePath; }
    };
    // Written where BackupFileName says; read from there too, unless the other of the two
    // places (next to the executable, the user's data folder) holds a newer backup or the only
    // one: a folder that turned read-only (or writable again) must not split a competition.
    BackupLocation backupLocation() const;

    // "yyyy-MM-dd-Quarnek-de"; without extension.
    static QString defaultExportName(const QDate& date);

private:
    QString backupName() const;

    QString m_title;
    QString m_executableDir;
    QString m_dataDir;
    QString m_userDataDir;
};

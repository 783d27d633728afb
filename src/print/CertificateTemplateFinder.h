#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The certificate designs on offer: SVG files whose names begin with "Urkunde", the
// operator's own (next to the backup file, in the user's data folder) before the shipped ones
// (next to the executable, in the installed data folder).
class CertificateTemplateFinder {
public:
    struct Entry {
        QString name;     // the file name without ".svg"
        QString fileName; // absolute path
    };

    // The folders in the order they are searched; each once, empty ones left out.
    static QStringList folders(const QString& backupFile, const QString& userDataDir,
                               const QString& executableDir, const QString& dataDir);

    // Every design of those folders, sorted by name within a folder; a name found in an
    // earlier folder hides the same name in a later one, so an own copy of a shipped design
    // replaces it.
    static QList<Entry> find(const QStringList& folders);

    // "Urkunde*.svg", in any case.
    static bool matches(const QString& fileName);
};

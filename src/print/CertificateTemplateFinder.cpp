#include "print/CertificateTemplateFinder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

QStringList CertificateTemplateFinder::folders(const QString& backupFile,
                                               const QString& userDataDir,
                                               const QString& executableDir,
                                               const QString& dataDir) {
    QStringList result;
    const QString backupFolder =
        backupFile.isEmpty() ? QString() : QFileInfo(backupFile).absolutePath();
    for (const QString& folder : {backupFolder, userDataDir, executableDir, dataDir}) {
        if (folder.isEmpty())
            continue;
        const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
        if (!result.contains(clean))
            result.append(clean);
    }
    return result;
}

bool CertificateTemplateFinder::matches(const QString& fileName) {
    return fileName.startsWith(QStringLiteral("Urkunde"), Qt::CaseInsensitive) &&
           fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}

QList<CertificateTemplateFinder::Entry>
CertificateTemplateFinder::find(const QStringList& folders) {
    QList<Entry> entries;
    QSet<QString> seen;
    for (const QString& folder : folders) {
        const QFileInfoList files = QDir(folder).entryInfoList(
            {QStringLiteral("*.svg")}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& file : files) {
            if (!matches(file.fileName()))
                continue;
            const QString name = file.completeBaseName();
            if (seen.contains(name.toLower()))
                continue;
            seen.insert(name.toLower());
            entries.append(Entry{name, file.absoluteFilePath()});
        }
    }
    return entries;
}

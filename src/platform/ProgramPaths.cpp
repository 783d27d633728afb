#include "platform/ProgramPaths.h"

#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

QString withSlash(const QString& dir) {
    if (dir.isEmpty() || dir.endsWith(u'/'))
        return dir;
    return dir + u'/';
}

// Permission bits do not tell everything (read-only mounts, root, network folders): try it.
bool canCreateFilesIn(const QString& dir) {
    if (!QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(dir + QStringLiteral(".velmora-probe-XXXXXX"));
    return probe.open();
}

// Both sides cleaned, so "/usr/bin/../share/velmora/" and "/usr/share/velmora" are one folder.
bool sameFolder(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && QDir::cleanPath(a) == QDir::cleanPath(b);
}

QString siblingDataDir(const QString& executableDir) {
    return QDir::cleanPath(executableDir + QStringLiteral("/../share/velmora"));
}

} // namespace

QString ProgramPaths::installedDataDir(const QString& executablePath,
                                       const QString& configuredDir) {
    const QString sibling = siblingDataDir(QFileInfo(executablePath).absolutePath());
    return QFileInfo(sibling).isDir() ? sibling : configuredDir;
}

ProgramPaths::ProgramPaths(const QString& executablePath, const QString& dataDir,
                           const QString& userDataDir)
    : m_title(QFileInfo(executablePath).completeBaseName()),
      m_executableDir(withSlash(QFileInfo(executablePath).absolutePath())),
      m_dataDir(withSlash(dataDir)), m_userDataDir(withSlash(userDataDir)) {}

QString ProgramPaths::backupName() const {
    return m_title + QStringLiteral("-Sicherungsdatei.txt");
}

bool ProgramPaths::isInstalled() const {
    return !m_executableDir.isEmpty() && QFileInfo(siblingDataDir(m_executableDir)).isDir();
}

QString ProgramPaths::writableFolder() const {
    if (m_userDataDir.isEmpty() || (!isInstalled() && canCreateFilesIn(m_executableDir)))
        return m_executableDir;
    QDir().mkpath(m_userDataDir);
    return m_userDataDir;
}

QString ProgramPaths::pageFolder(const QString& workingDir) const {
    const QString working = withSlash(QFileInfo(workingDir).absoluteFilePath());
    const bool installationFolder =
        sameFolder(working, m_dataDir) ||
        (isInstalled() && (sameFolder(working, m_executableDir) ||
                           sameFolder(working, m_executableDir + QStringLiteral(".."))));
    // A program started by a launcher may find itself in "/", which only root can write to and
    // nobody looks into.
    if (!workingDir.isEmpty() && !installationFolder && !QDir(working).isRoot() &&
        canCreateFilesIn(working))
        return working;
    return writableFolder();
}

QString ProgramPaths::backupFileName() const {
    return writableFolder() + backupName();
}

ProgramPaths::BackupLocation ProgramPaths::backupLocation() const {
    const QString writePath = backupFileName();
    BackupLocation location{writePath, writePath};
    if (m_userDataDir.isEmpty())
        return location;
    const QString nextToExecutable = m_executableDir + backupName();
    const QString other =
        writePath == nextToExecutable ? m_userDataDir + backupName() : nextToExecutable;
    if (other == writePath || !RegularFile::entryExists(other))
        return location;
    if (!RegularFile::entryExists(writePath)) {
        location.readPath = other;
        return location;
    }
    const QDateTime otherTime = QFileInfo(other).lastModified();
    const QDateTime ownTime = QFileInfo(writePath).lastModified();
    if (otherTime.isValid() && (!ownTime.isValid() || otherTime > ownTime))
        location.readPath = other;
    return location;
}

QString ProgramPaths::defaultExportName(const QDate& date) {
    QString name = date.toString(QStringLiteral("yyyy-MM-dd"));
    name.replace(u' ', u'0');
    return name + QStringLiteral("-Quarnek-de");
}

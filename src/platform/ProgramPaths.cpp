#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
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

} // namespace

ProgramPaths ProgramPaths::forRunningProgram() {
    return ProgramPaths(QCoreApplication::applicationFilePath(), QStringLiteral(VELMORA_DATA_DIR),
                        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

ProgramPaths::ProgramPaths(const QString& executablePath, const QString& dataDir,
                           const QString& userDataDir)
    : m_title(QFileInfo(executablePath).completeBaseName()),
      m_executableDir(withSlash(QFileInfo(executablePath).absolutePath())),
      m_dataDir(withSlash(dataDir)), m_userDataDir(withSlash(userDataDir)) {}

QString ProgramPaths::BackupFileName() const {
    const QString name = m_title + QStringLiteral("-Sicherungsdatei.txt");
    if (canCreateFilesIn(m_executableDir))
        return m_executableDir + name;
    QDir().mkpath(m_userDataDir);
    return m_userDataDir + name;
}

std::optional<QString> ProgramPaths::findCompanion(const QString& fileName) const {
    for (const QString& dir : {m_executableDir, m_dataDir}) {
        if (dir.isEmpty())
            continue;
        const QString path = dir + fileName;
        if (QFileInfo(path).isFile())
            return path;
    }
    return std::nullopt;
}

std::optional<QString> ProgramPaths::helpFile() const {
    if (auto chm = findCompanion(m_title + QStringLiteral(".chm")))
        return chm;
    return findCompanion(m_title + QStringLiteral(".html"));
}

std::optional<QString> ProgramPaths::titlePicture() const {
    return findCompanion(m_title + QStringLiteral(".jpg"));
}

QString ProgramPaths::WordTemplatePath() const {
    return findCompanion(QStringLiteral("Protokollvorlage.docx"))
        .value_or(m_executableDir + QStringLiteral("Protokollvorlage.docx"));
}

QString ProgramPaths::ExcelTemplatePath() const {
    if (auto xls = findCompanion(QStringLiteral("Protokollvorlage.xls")))
        return *xls;
    return findCompanion(QStringLiteral("Protokollvorlage.xlsx"))
        .value_or(m_executableDir + QStringLiteral("Protokollvorlage.xls"));
}

QString ProgramPaths::DefaultExportName(const QDate& date) {
    QString name = date.toString(QStringLiteral("yyyy-MM-dd"));
    name.replace(u' ', u'0');
    return name + QStringLiteral("-Quarnek-de");
}

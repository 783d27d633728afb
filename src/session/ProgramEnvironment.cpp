#include "session/ProgramEnvironment.h"

#include "platform/DesktopApplications.h"
#include "platform/SecretService.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>

ProgramEnvironment::ProgramEnvironment(QString executablePath)
    : m_executablePath(std::move(executablePath)) {}

ProgramEnvironment ProgramEnvironment::fromApplication() {
    const QString executable = QCoreApplication::applicationFilePath();
    ProgramEnvironment environment(executable);
    environment.setDataDir(qEnvironmentVariable(
        "VELMORA_DATA_DIR",
        ProgramPaths::installedDataDir(executable, QStringLiteral(VELMORA_DATA_DIR))));
    const QString point = QLocale::system().decimalPoint();
    environment.setDecimalSeparator(point.isEmpty() ? QChar(u',') : point.front());
    environment.setUserDataDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return environment;
}

ProgramPaths ProgramEnvironment::paths() const {
    return ProgramPaths(m_executablePath, m_dataDir, m_userDataDir);
}

std::unique_ptr<QSettings> ProgramEnvironment::openSettings() const {
    if (m_settingsFolder.isEmpty())
        return SettingsStore::openForProgram(programTitle());
    return std::make_unique<QSettings>(
        QDir(m_settingsFolder).filePath(programTitle() + QStringLiteral(".conf")),
        QSettings::IniFormat);
}

std::shared_ptr<SecretService> ProgramEnvironment::keyring() const {
    if (m_keyring || !m_settingsFolder.isEmpty())
        return m_keyring;
    return std::make_shared<SecretService>();
}

QString ProgramEnvironment::executableDir() const {
    return QFileInfo(m_executablePath).absolutePath();
}

QString ProgramEnvironment::programTitle() const {
    // Only the last extension goes: "Velmora.test.exe" is titled "Velmora.test".
    return QFileInfo(m_executablePath).completeBaseName();
}

QString ProgramEnvironment::registryKeyPath() const {
    return QStringLiteral("\\Software\\Quarnek\\") + programTitle();
}

std::optional<QString> ProgramEnvironment::findDataFile(const QString& fileName) const {
    if (fileName.isEmpty())
        return std::nullopt;
    QStringList folders;
    if (!m_executablePath.isEmpty())
        folders.append(executableDir());
    if (!m_dataDir.isEmpty())
        folders.append(m_dataDir);
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder).filePath(fileName));
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return std::nullopt;
}

QString ProgramEnvironment::pathNextToExecutable(const QString& fileName) const {
    return QDir(executableDir()).filePath(fileName);
}

std::optional<QString> ProgramEnvironment::helpFile() const {
    // The compiled help is what Windows viewers open; elsewhere the HTML manual is the one a
    // desktop can show, so it is preferred there.
#ifdef Q_OS_WIN
    const QStringList extensions{QStringLiteral(".chm"), QStringLiteral(".html")};
#else
    const QStringList extensions{QStringLiteral(".html"), QStringLiteral(".chm")};
#endif
    for (const QString& extension : extensions) {
        if (auto found = findDataFile(programTitle() + extension))
            return found;
    }
    return std::nullopt;
}

std::optional<QString> ProgramEnvironment::titlePicture() const {
    return findDataFile(programTitle() + QStringLiteral(".jpg"));
}

QString ProgramEnvironment::wordTemplatePath() const {
    const QString name = QStringLiteral("Protokollvorlage.docx");
    return findDataFile(name).value_or(pathNextToExecutable(name));
}

QString ProgramEnvironment::excelTemplatePath() const {
    // The workbook is written as .xlsx, so that is the template the program can build on; an
    // old .xls of the same name is only taken when there is no .xlsx, and is then reported as
    // unreadable instead of being silently passed over.
    const QString name = QStringLiteral("Protokollvorlage.xlsx");
    if (auto xlsx = findDataFile(name))
        return *xlsx;
    return findDataFile(QStringLiteral("Protokollvorlage.xls"))
        .value_or(pathNextToExecutable(name));
}

bool ProgramEnvironment::hasApplicationFor(const char* mimeType) const {
    if (m_applicationLookup)
        return m_applicationLookup(mimeType);
    return DesktopApplications::hasDefaultFor(mimeType);
}

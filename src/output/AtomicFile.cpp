#include "output/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>

namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr int kNameAttempts = 64;

// Calls that a signal may interrupt before they did anything are simply made again.
template <typename Call> auto uninterrupted(Call call) {
    auto result = call();
    while (result == -EINTR)
        result = call();
    return result;
}

QString targetOf(const QString& fileName) {
    const QFileInfo info(fileName);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    // A dangling link gets its target created.
    return info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
}

QByteArray temporaryName(const QByteArray& folder, const QByteArray& name) {
    const quint32 tag = QRandomGenerator::global()->generate();
    return folder + "/." + name + '.' + QByteArray::number(tag, 16).rightJustified(8, '0') + ".tmp";
}

// The temporary file until it has been renamed: closed and removed when the write fails.
class Temporary {
public:
    Temporary(FileSystem& system, int fd, QByteArray path)
        : m_system(system), m_fd(fd), m_path(std::move(path)) {}
    ~Temporary() {
        if (m_fd >= 0)
            m_system.closeFile(m_fd);
        if (!m_path.isEmpty())
            m_system.removeFile(m_path);
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    int fd() const { return m_fd; }
    const QByteArray& path() const { return m_path; }
    // The descriptor is gone, whatever close said.
    int close() {
        const int result = m_system.closeFile(m_fd);
        m_fd = -1;
        return result;
    }
    void renamed() { m_path.clear(); }

private:
    FileSystem& m_system;
    int m_fd;
    QByteArray m_path;
};

int writeAll(FileSystem& system, int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = uninterrupted([&] { return system.writeSome(fd, data, left); });
        if (written < 0)
            return static_cast<int>(written);
        // A regular file that takes nothing has no room left.
        if (written == 0)
            return -ENOSPC;
        data += written;
        left -= written;
    }
    return 0;
}

int syncFolder(FileSystem& system, const QByteArray& folder) {
    const int fd = uninterrupted(
        [&] { return system.openFile(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); });
    if (fd < 0)
        return fd;
    int result = uninterrupted([&] { return system.syncToDisk(fd); });
    // Some file systems cannot sync a folder at all; there is nothing more to wait for then.
    if (result == -EINVAL || result == -ENOTSUP)
        result = 0;
    const int closed = system.closeFile(fd);
    return result < 0 ? result : closed;
}

} // namespace

QString AtomicFile::stepName(Step step) {
    switch (step) {
    case Step::Create:
        return QStringLiteral("Anlegen");
    case Step::Write:
        return QStringLiteral("Schreiben");
    case Step::Sync:
        return QStringLiteral("Synchronisieren");
    case Step::Close:
        return QStringLiteral("Schließen");
    case Step::Rename:
        return QStringLiteral("Umbenennen");
    case Step::SyncFolder:
        return QStringLiteral("Synchronisieren des Ordners");
    }
    return QString();
}

QString AtomicFile::Failure::text() const {
    return stepName(step) + QStringLiteral(": ") + qt_error_string(error);
}

std::optional<AtomicFile::Failure> AtomicFile::write(const QString& fileName,
                                                     const QByteArray& bytes, FileSystem& system) {
    if (fileName.isEmpty())
        return Failure{Step::Create, ENOENT};
    const QFileInfo target(targetOf(fileName));
    const QByteArray targetPath = QFile::encodeName(target.filePath());
    const QByteArray folder = QFile::encodeName(target.absolutePath());

    mode_t oldMode = 0;
    const bool replacing = system.fileMode(targetPath, &oldMode) >= 0;

    int fd = -EEXIST;
    QByteArray temporaryPath;
    for (int attempt = 0; attempt < kNameAttempts && fd == -EEXIST; ++attempt) {
        temporaryPath = temporaryName(folder, QFile::encodeName(target.fileName()));
        fd = uninterrupted([&] {
            return system.openFile(temporaryPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                   kNewFileMode);
        });
    }
    if (fd < 0)
        return Failure{Step::Create, -fd};
    Temporary temporary(system, fd, temporaryPath);
    // open() applies the umask; the old file's permissions are taken over as they were.
    if (replacing) {
        if (const int result = uninterrupted([&] { return system.changeMode(fd, oldMode & 0777); });
            result < 0)
            return Failure{Step::Create, -result};
    }
    if (const int result = writeAll(system, fd, bytes); result < 0)
        return Failure{Step::Write, -result};
    if (const int result = uninterrupted([&] { return system.syncToDisk(fd); }); result < 0)
        return Failure{Step::Sync, -result};
    // A delayed write error can still come with the close.
    if (const int result = temporary.close(); result < 0)
        return Failure{Step::Close, -result};
    if (const int result =
            uninterrupted([&] { return system.renameFile(temporaryPath, targetPath); });
        result < 0)
        return Failure{Step::Rename, -result};
    temporary.renamed();
    if (const int result = syncFolder(system, folder); result < 0)
        return Failure{Step::SyncFolder, -result};
    return std::nullopt;
}

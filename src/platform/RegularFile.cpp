#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace RegularFile {

namespace {

constexpr qint64 kChunk = 64 * 1024;

#ifdef Q_OS_UNIX

// Closes the descriptor however the read ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

Content readPosix(const QString& path, qint64 maxBytes) {
    const QByteArray native = QFile::encodeName(path);
    // Looked at before opening: opening a device can already have effects, and a FIFO
    // without a writer would block the open itself.
    struct stat before {};
    if (::stat(native.constData(), &before) != 0)
        return {errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Failed, {}};
    if (!S_ISREG(before.st_mode))
        return {Status::NotRegular, {}};

    // Non-blocking, in case the name was swapped for a FIFO since the look; the descriptor's
    // own type settles it.
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return {errno == ENOENT ? Status::Missing : Status::Failed, {}};
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0)
        return {Status::Failed, {}};
    if (!S_ISREG(opened.st_mode))
        return {Status::NotRegular, {}};
    // A size above the limit is believed; a smaller one is not (files under /proc claim 0).
    if (opened.st_size > maxBytes)
        return {Status::TooLarge, {}};

    QByteArray bytes;
    for (;;) {
        const qint64 room = maxBytes + 1 - bytes.size();
        if (room <= 0)
            return {Status::TooLarge, {}};
        const qsizetype start = bytes.size();
        bytes.resize(start + qMin(room, kChunk));
        const ssize_t got = ::read(fd.get(), bytes.data() + start, size_t(bytes.size() - start));
        if (got < 0) {
            bytes.resize(start);
            if (errno == EINTR)
                continue;
            return {Status::Failed, {}};
        }
        bytes.resize(start + got);
        if (got == 0)
            break;
    }
    return {Status::Read, bytes};
}

#else

Content readQt(const QString& path, qint64 maxBytes) {
    const QFileInfo info(path);
    if (!info.exists())
        return {Status::Missing, {}};
    if (!info.isFile())
        return {Status::NotRegular, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::Failed, {}};
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {Status::Failed, {}};
    if (bytes.size() > maxBytes)
        return {Status::TooLarge, {}};
    return {Status::Read, bytes};
}

#endif

} // namespace

Content read(const QString& path, qint64 maxBytes) {
    if (path.isEmpty() || maxBytes < 0)
        return {Status::Missing, {}};
#ifdef Q_OS_UNIX
    return readPosix(path, maxBytes);
#else
    return readQt(path, maxBytes);
#endif
}

bool entryExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace RegularFile

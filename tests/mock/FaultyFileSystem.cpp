#include "mock/FaultyFileSystem.h"

#include "platform/PosixFileSystem.h"

#include <cerrno>
#include <fcntl.h>

namespace {

FileSystem& real() {
    return PosixFileSystem::instance();
}

} // namespace

int FaultyFileSystem::fault(Call call) {
    if (m_interrupt) {
        m_interruptNext = !m_interruptNext;
        if (!m_interruptNext)
            return EINTR;
    }
    return call == m_failing ? m_error : 0;
}

int FaultyFileSystem::fileMode(const QByteArray& path, mode_t* mode) {
    return real().fileMode(path, mode);
}

int FaultyFileSystem::openFile(const QByteArray& path, int flags, mode_t mode) {
    const bool folder = (flags & O_DIRECTORY) != 0;
    if (const int error = fault(folder ? Call::OpenFolder : Call::OpenFile))
        return -error;
    const int fd = real().openFile(path, flags, mode);
    if (folder && fd >= 0)
        m_folders.insert(fd);
    return fd;
}

int FaultyFileSystem::changeMode(int fd, mode_t mode) {
    if (const int error = fault(Call::ChangeMode))
        return -error;
    return real().changeMode(fd, mode);
}

qint64 FaultyFileSystem::writeSome(int fd, const char* data, qint64 size) {
    if (const int error = fault(Call::Write))
        return -error;
    return real().writeSome(fd, data, m_writeLimit > 0 ? qMin(size, m_writeLimit) : size);
}

int FaultyFileSystem::syncToDisk(int fd) {
    if (const int error = fault(m_folders.contains(fd) ? Call::SyncFolder : Call::SyncFile))
        return -error;
    return real().syncToDisk(fd);
}

int FaultyFileSystem::closeFile(int fd) {
    const bool folder = m_folders.remove(fd);
    // A close that reports an error has still released the descriptor, so it is never
    // interrupted here and always really closes.
    const int result = real().closeFile(fd);
    if ((folder ? Call::CloseFolder : Call::CloseFile) == m_failing)
        return -m_error;
    return result;
}

int FaultyFileSystem::renameFile(const QByteArray& from, const QByteArray& to) {
    if (const int error = fault(Call::Rename))
        return -error;
    return real().renameFile(from, to);
}

int FaultyFileSystem::removeFile(const QByteArray& path) {
    return real().removeFile(path);
}

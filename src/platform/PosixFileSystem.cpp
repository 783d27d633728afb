#include "platform/PosixFileSystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int result(int value) {
    return value < 0 ? -errno : value;
}

} // namespace

FileSystem& PosixFileSystem::instance() {
    static PosixFileSystem system;
    return system;
}

int PosixFileSystem::fileMode(const QByteArray& path, mode_t* mode) {
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return -errno;
    *mode = info.st_mode & 07777;
    return 0;
}

int PosixFileSystem::openFile(const QByteArray& path, int flags, mode_t mode) {
    return result(::open(path.constData(), flags, mode));
}

int PosixFileSystem::changeMode(int fd, mode_t mode) {
    return result(::fchmod(fd, mode));
}

qint64 PosixFileSystem::writeSome(int fd, const char* data, qint64 size) {
    const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
    return written < 0 ? -errno : written;
}

int PosixFileSystem::syncToDisk(int fd) {
    return result(::fsync(fd));
}

int PosixFileSystem::closeFile(int fd) {
    return result(::close(fd));
}

int PosixFileSystem::renameFile(const QByteArray& from, const QByteArray& to) {
    return result(std::rename(from.constData(), to.constData()));
}

int PosixFileSystem::removeFile(const QByteArray& path) {
    return result(::unlink(path.constData()));
}

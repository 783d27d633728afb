#pragma once

#include "platform/FileSystem.h"

// The file-system calls as the kernel answers them.
class PosixFileSystem final : public FileSystem {
public:
    // One instance serves the whole program; it holds no state.
    static FileSystem& instance();

    int fileMode(const QByteArray& path, mode_t* mode) override;
    int openFile(const QByteArray& path, int flags, mode_t mode) override;
    int changeMode(int fd, mode_t mode) override;
    qint64 writeSome(int fd, const char* data, qint64 size) override;
    int syncToDisk(int fd) override;
    int closeFile(int fd) override;
    int renameFile(const QByteArray& from, const QByteArray& to) override;
    int removeFile(const QByteArray& path) override;
};

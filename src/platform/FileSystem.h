#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <sys/types.h>

// The file-system calls the durable file writer makes, behind one seam so that tests can fail
// any of them with the error a full disk or a broken medium gives. Paths are in the file
// system's encoding. Every call returns a value >= 0 on success and the negated errno on
// failure, so no caller depends on a thread-local errno set by someone else.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // stat(2): the permission bits of an existing file (following links).
    virtual int fileMode(const QByteArray& path, mode_t* mode) = 0;
    // open(2); the result is the descriptor.
    virtual int openFile(const QByteArray& path, int flags, mode_t mode) = 0;
    virtual int changeMode(int fd, mode_t mode) = 0;
    // write(2): the number of bytes taken, which may be fewer than offered.
    virtual qint64 writeSome(int fd, const char* data, qint64 size) = 0;
    // fsync(2).
    virtual int syncToDisk(int fd) = 0;
    virtual int closeFile(int fd) = 0;
    virtual int renameFile(const QByteArray& from, const QByteArray& to) = 0;
    virtual int removeFile(const QByteArray& path) = 0;
};

#pragma once

#include "platform/FileSystem.h"

#include <QSet>

// The real file-system calls with faults on demand: one kind of call fails with a chosen error,
// writes take only a few bytes at a time, or every call is interrupted once before it works.
class FaultyFileSystem final : public FileSystem {
public:
    enum class Call {
        None,
        OpenFile,
        ChangeMode,
        Write,
        SyncFile,
        CloseFile,
        Rename,
        OpenFolder,
        SyncFolder,
        CloseFolder
    };

    // Every call of that kind fails with the error until fail(Call::None).
    void fail(Call call, int error) {
        m_failing = call;
        m_error = error;
    }
    // Each write takes at most this many bytes; 0 for no limit.
    void limitWrites(qint64 bytes) { m_writeLimit = bytes; }
    // Each call answers EINTR first and works when it is made again.
    void interruptEachCall(bool on) { m_interrupt = on; }

    int fileMode(const QByteArray& path, mode_t* mode) override;
    int openFile(const QByteArray& path, int flags, mode_t mode) override;
    int changeMode(int fd, mode_t mode) override;
    qint64 writeSome(int fd, const char* data, qint64 size) override;
    int syncToDisk(int fd) override;
    int closeFile(int fd) override;
    int renameFile(const QByteArray& from, const QByteArray& to) override;
    int removeFile(const QByteArray& path) override;

private:
    // The error for this call, 0 to go on to the real one.
    int fault(Call call);

    Call m_failing = Call::None;
    int m_error = 0;
    qint64 m_writeLimit = 0;
    bool m_interrupt = false;
    bool m_interruptNext = true;
    QSet<int> m_folders;
};

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <optional>
#include <termios.h>

// Edge counters of the modem-status input lines as the driver keeps them (TIOCGICOUNT).
struct SerialLineCounters {
    quint32 cts = 0;
    quint32 dsr = 0;
    quint32 rng = 0;
    quint32 dcd = 0;

    bool operator==(const SerialLineCounters&) const = default;
};

// The operating-system calls the serial backend makes, behind one seam so that tests can put a
// scripted line device in place of the kernel and check which calls were made in which order.
// Every call returns a value >= 0 on success and the negated errno on failure, so no caller
// depends on a thread-local errno set by someone else.
class SerialSystem {
public:
    virtual ~SerialSystem() = default;

    // open(2); the result is the descriptor.
    virtual int openDevice(const QString& path, int flags) = 0;
    virtual int closeDevice(int fd) = 0;
    // fstat(2) and S_ISCHR: 1 for a character device, 0 for anything else.
    virtual int isCharacterDevice(int fd) = 0;
    // flock(LOCK_EX | LOCK_NB): the convention other serial programs honour as well.
    virtual int lockExclusive(int fd) = 0;
    // TIOCEXCL: further opens of the tty fail with EBUSY.
    virtual int setExclusive(int fd) = 0;
    virtual int getAttributes(int fd, termios* attributes) = 0;
    virtual int setAttributes(int fd, int optionalActions, const termios& attributes) = 0;
    virtual int flush(int fd, int queueSelector) = 0;
    // TIOCMBIS / TIOCMBIC / TIOCMGET with TIOCM_* bits.
    virtual int setModemBits(int fd, int bits) = 0;
    virtual int clearModemBits(int fd, int bits) = 0;
    virtual int getModemBits(int fd, int* bits) = 0;
    // TIOCMIWAIT: blocks until one of the given TIOCM_* lines changes; -EINTR when a signal
    // without SA_RESTART arrives, -ENOTTY or -EINVAL where the driver cannot wait.
    virtual int waitModemChange(int fd, int lines) = 0;
    virtual int getCounters(int fd, SerialLineCounters* counters) = 0;
    // TIOCINQ: bytes waiting in the input queue.
    virtual int inputQueueSize(int fd, int* bytes) = 0;

    // The data lines of a timer or a scoreboard. Not every seam needs them, so they answer
    // -ENOSYS unless replaced.
    // read(2) without blocking: the bytes read, 0 when none are waiting.
    virtual int readData(int fd, char* buffer, int size) {
        (void)fd, (void)buffer, (void)size;
        return -ENOSYS;
    }
    // write(2): the bytes written (fewer when the queue is full).
    virtual int writeData(int fd, const char* data, int size) {
        (void)fd, (void)data, (void)size;
        return -ENOSYS;
    }
    // poll(2) for input, or for room to write: 1 ready, 0 after timeoutMs, -EIO when the device
    // hung up or failed.
    virtual int waitReady(int fd, bool forWriting, int timeoutMs) {
        (void)fd, (void)forWriting, (void)timeoutMs;
        return -ENOSYS;
    }

    // The few file-system reads needed to find the serial devices.
    virtual QStringList directoryEntries(const QString& directory) = 0;
    virtual std::optional<QString> resolvedPath(const QString& path) = 0;
    virtual std::optional<QByteArray> readSmallFile(const QString& path) = 0;
};

#pragma once

#include "platform/SerialSystem.h"

#include <memory>

// The serial calls as the kernel answers them.
class PosixSerialSystem final : public SerialSystem {
public:
    // One instance serves the whole program; it holds no state.
    static std::shared_ptr<SerialSystem> instance();

    int openDevice(const QString& path, int flags) override;
    int closeDevice(int fd) override;
    int isCharacterDevice(int fd) override;
    int lockExclusive(int fd) override;
    int setExclusive(int fd) override;
    int getAttributes(int fd, termios* attributes) override;
    int setAttributes(int fd, int optionalActions, const termios& attributes) override;
    int flush(int fd, int queueSelector) override;
    int setModemBits(int fd, int bits) override;
    int clearModemBits(int fd, int bits) override;
    int getModemBits(int fd, int* bits) override;
    int waitModemChange(int fd, int lines) override;
    int getCounters(int fd, SerialLineCounters* counters) override;
    int inputQueueSize(int fd, int* bytes) override;
    int readData(int fd, char* buffer, int size) override;
    int writeData(int fd, const char* data, int size) override;
    int waitReady(int fd, bool forWriting, int timeoutMs) override;
    QStringList directoryEntries(const QString& directory) override;
    std::optional<QString> resolvedPath(const QString& path) override;
    std::optional<QByteArray> readSmallFile(const QString& path) override;
};

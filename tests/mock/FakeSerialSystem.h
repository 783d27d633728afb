#pragma once

#include "FakeLineDevice.h"
#include "platform/SerialSystem.h"

#include <QHash>
#include <QMap>

#include <memory>
#include <mutex>
#include <optional>

// A scripted stand-in for the kernel's serial calls: devices with fake modem lines, the
// directories and links the port numbers are found by, and a log of the calls made.
class FakeSerialSystem final : public SerialSystem {
public:
    explicit FakeSerialSystem(FakeLineDevice::Clock clock);

    // Adds the device node and its name to the listing of its directory.
    std::shared_ptr<FakeLineDevice> addDevice(const QString& path,
                                              FakeLineDevice::Options options = {});
    void addDirectoryEntry(const QString& directory, const QString& name);
    // A symbolic link (also listed in its directory) resolving to target.
    void addLink(const QString& path, const QString& target);
    void addFile(const QString& path, const QByteArray& contents);
    // From now on open(2) of the node fails with this errno (0 lets it open again): another
    // program took it, its permissions changed or it was unplugged after the port scan.
    void setOpenError(const QString& path, int error);
    // The adapter is pulled out: its ioctls fail with EIO, its node and the links to it are
    // gone, and open(2) of the path fails with ENOENT until a device is added there again.
    void unplug(const QString& path);

    // The calls made so far, one line each, e.g. "TIOCMBIS 100 DTR|RTS".
    QStringList calls() const;
    void clearCalls();
    // The call log costs time in long runs.
    void setRecording(bool recording);
    // The attributes of the last successful tcsetattr.
    std::optional<termios> lastAttributes() const;
    int openDescriptors() const;

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
    QStringList directoryEntries(const QString& directory) override;
    std::optional<QString> resolvedPath(const QString& path) override;
    std::optional<QByteArray> readSmallFile(const QString& path) override;

    static QString lineNames(quint32 lines);
    static QString openFlagNames(int flags);

private:
    struct Node {
        std::shared_ptr<FakeLineDevice> device;
        termios attributes{};
        bool exclusive = false;
        int lockHolder = -1;
        int openCount = 0;
        int openError = 0;
        bool unplugged = false;
    };

    void record(const QString& call);
    // The device behind a descriptor, or nothing for a closed one.
    std::shared_ptr<FakeLineDevice> deviceFor(int fd);
    Node* nodeFor(int fd);

    FakeLineDevice::Clock m_clock;
    mutable std::mutex m_mutex;
    QMap<QString, Node> m_nodes;
    QHash<int, QString> m_descriptors;
    QMap<QString, QStringList> m_directories;
    QMap<QString, QString> m_links;
    QMap<QString, QByteArray> m_files;
    QStringList m_calls;
    bool m_recording = true;
    int m_nextDescriptor = 100;
    std::optional<termios> m_lastAttributes;
};

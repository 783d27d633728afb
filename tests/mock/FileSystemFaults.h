#pragma once

#include <QString>

// File-system failures on demand for tests: a folder nobody may write to and a file nobody may
// read (also for root), and a disk that fills up after a few bytes.
namespace FileSystemFaults {

// Makes a folder read-only for this thread for its lifetime. Root normally writes anywhere, so
// for root the thread also gives up its permission override until the guard ends.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // False when root's override could not be given up; the folder is then not read-only.
    bool effective() const { return m_effective; }

private:
    QString m_path;
    bool m_effective = false;
    bool m_capsDropped = false;
    unsigned m_savedCaps[2] = {0, 0};
};

// Makes a file unreadable (and unwritable) for this thread for its lifetime, also for root.
class UnreadableFile {
public:
    explicit UnreadableFile(const QString& path);
    ~UnreadableFile();
    UnreadableFile(const UnreadableFile&) = delete;
    UnreadableFile& operator=(const UnreadableFile&) = delete;

    bool effective() const { return m_effective; }

private:
    QString m_path;
    bool m_effective = false;
    bool m_capsDropped = false;
    unsigned m_savedCaps[2] = {0, 0};
};

// Every file of this process may grow to at most `bytes` while the guard lives; a write beyond
// fails with EFBIG, as on a full disk.
class DiskFull {
public:
    explicit DiskFull(long long bytes);
    ~DiskFull();
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

    bool effective() const { return m_effective; }

private:
    bool m_effective = false;
    long long m_savedSoft = 0;
    void (*m_savedHandler)(int) = nullptr;
};

} // namespace FileSystemFaults

#pragma once

#include "journal/JournalEntry.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Appends journal events to the day's file on a thread of its own: the caller only queues the
// event, the thread writes what has come in at once, and a second thread syncs it (fdatasync),
// so a slow sync never holds up the next write, an event is on the disk within milliseconds,
// and the timing never waits for the disk. When the file
// cannot be written the events stay queued and are tried again every second; the failure is
// reported once per stretch of failures.
class JournalWriter : public QObject {
    Q_OBJECT
public:
    // The day files are <folder>/<programTitle>-Journal-yyyy-mm-dd.txt.
    JournalWriter(QString folder, QString programTitle, QObject* parent = nullptr);
    // Writes what is queued (one last try when the disk fails) and ends the thread.
    ~JournalWriter() override;

    static QString fileName(const QString& programTitle, const QDate& date);
    QString pathFor(const QDate& date) const;
    QString folder() const { return m_folder; }

    // Safe on any thread; never waits for the disk.
    void append(const JournalEntry& entry);
    // Waits until everything queued before the call is on the disk, or a write of it failed,
    // or timeoutMs passed; true when it is on the disk.
    bool flush(int timeoutMs = 1000);

    qint64 bytesWritten() const { return m_bytesWritten.load(); }
    bool failing() const { return m_failing.load(); }
    // Events held because their file cannot be written; they are retried.
    qsizetype heldBack() const;
    // Their lines, oldest first, each whole, so the journal can still be read while its file
    // cannot be written.
    QByteArray heldBackLines() const;

    static constexpr int retryIntervalMs = 1000;
    // At the end a failing write is retried this long, as a lack of descriptors or of space
    // often ends while the program closes its other files.
    static constexpr int finalRetryMs = 2000;
    // Beyond this many held events the oldest go, so a long failure cannot eat the memory.
    static constexpr qsizetype maxHeldBack = 1'000'000;

Q_SIGNALS:
    // The first failure after a success (or after the start), with the file and the reason;
    // emitted on the writer thread, so connect with a queued connection to show it.
    void writeFailed(const QString& path, const QString& reason);
    void writeRecovered();

private:
    struct Chunk {
        QDate date;
        QByteArray bytes; // lines not yet written; may start in the middle of a line
        // The head of that first line, when a full disk stopped its write midway: the file
        // then ends with it, and the rest completes it.
        QByteArray onDisk;
    };

    void run();
    void syncLoop();
    // Writes the chunks in order; what is left could not be written. Returns the error text.
    QString writeChunks(std::deque<Chunk>& chunks);
    // continuing: the chunk's first line was cut by a failed write of this writer and is
    // completed in place if the file still ends where that write stopped; false on return
    // when it was not, and the whole line must be written again.
    bool openFor(const QDate& date, bool& continuing, QString& error);
    void keepCutLine(Chunk& chunk, qsizetype written);
    void closeFile();

    const QString m_folder;
    const QString m_title;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_progress;
    std::vector<JournalEntry> m_queue;
    qsizetype m_held = 0;
    QByteArray m_heldLines;
    quint64 m_queuedCount = 0;   // events handed to append
    quint64 m_finishedCount = 0; // events synced or found unwritable
    quint64 m_toSync = 0;        // events written, waiting for the sync
    bool m_stop = false;
    bool m_syncStop = false;
    std::condition_variable m_syncWake;
    // The writer's descriptor for the sync thread; the sync holds m_fdMutex while it uses
    // it, so the writer cannot close it meanwhile, and no second descriptor is needed when
    // the process is short of them.
    std::mutex m_fdMutex;
    int m_syncFd = -1;

    // Writer thread only.
    std::deque<Chunk> m_pending;
    int m_fd = -1;
    QDate m_fileDate;
    qint64 m_cutSize = -1; // the file's size when a write stopped within a line

    std::atomic<qint64> m_bytesWritten{0};
    std::atomic<bool> m_failing{false};
    std::atomic<bool> m_failureTold{false};
    std::thread m_thread;
    std::thread m_syncThread;
};

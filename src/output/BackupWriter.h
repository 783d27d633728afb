#pragma once

#include "platform/PosixFileSystem.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class CompetitionTable;

// Keeps the backup file in step with the heat start list: every change is written out
// (atomically and synced to the disk) before the change returns, so before the table can show
// it, and a crash, a kill or a power cut loses nothing the table showed. Changes made in one
// command are written once when the command holds a Batch.
class BackupWriter : public QObject {
    Q_OBJECT
public:
    // Starts watching at once; create it after the backup has been loaded so that a backup
    // that could not be read is not overwritten before anything was entered.
    BackupWriter(CompetitionTable& heatStartList, const QString& backupPath,
                 QObject* parent = nullptr, FileSystem& system = PosixFileSystem::instance());

    // Holds back the writes while it lives; when the outermost batch ends, the changes made
    // meanwhile are written at once, in one write. For commands that change the list in
    // several steps, so that the steps do not each rewrite the file.
    class Batch {
    public:
        explicit Batch(BackupWriter& writer);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        BackupWriter& m_writer;
    };

    QString backupPath() const { return m_path; }
    // Runs before every write, so that whatever must be on the disk before the backup (the
    // journal of the same change) gets there first.
    void setBeforeWrite(std::function<void()> hook) { m_beforeWrite = std::move(hook); }
    // What the file carries behind the table (see ReleaseSection); asked at every write.
    void setTrailer(std::function<QByteArray()> trailer) { m_trailer = std::move(trailer); }

    // A write that failed for want of a free file descriptor is tried again after this, and
    // again until it succeeds: descriptors come back as others are closed, and the change
    // must reach the disk without waiting for the next one.
    static constexpr int descriptorRetryMs = 250;
    bool retryPending() const { return m_retry.isActive(); }

    // A change waits for the end of a batch.
    bool savePending() const { return m_pending; }
    // Writes now; true on success.
    bool saveNow();

    // Shutdown: writes unless the file already holds the list; true when the file holds it.
    bool saveAtExit();

    // The reason of the last failed write (the step and the system's explanation); empty
    // after a successful one.
    QString lastError() const { return m_lastError; }

Q_SIGNALS:
    // After each write attempt.
    void saved(bool ok);

private:
    void tableChanged();
    void retry();

    CompetitionTable& m_table;
    QString m_path;
    FileSystem& m_system;
    QString m_lastError;
    int m_batchDepth = 0;
    bool m_pending = false;
    bool m_upToDate = false;
    std::function<void()> m_beforeWrite;
    std::function<QByteArray()> m_trailer;
    QTimer m_retry;
};

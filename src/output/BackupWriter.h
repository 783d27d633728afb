#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class TSortGrid;

// Keeps the backup file in step with the heat start list: every change is written out
// (atomically) as soon as the event loop is free again, so a crash or a power cut loses nothing
// that was entered. Changes made in one go are written once. Failures are silent apart from the
// last error, which the window can show as a hint.
class BackupWriter : public QObject {
    Q_OBJECT
public:
    // Starts watching at once; create it after the backup has been loaded so that a backup
    // that could not be read is not overwritten before anything was entered.
    BackupWriter(TSortGrid& heatStartList, const QString& backupPath, QObject* parent = nullptr);
    ~BackupWriter() override; // writes a pending change

    QString backupPath() const { return m_path; }

    // A write is due on the next pass of the event loop.
    void scheduleSave();
    bool savePending() const { return m_timer.isActive(); }
    // Writes now (a pending write with it); true on success.
    bool saveNow();

    // The file found at start-up could not be read: it stays as it is until the table changes,
    // so a backup that is only unreachable for the moment is not replaced by an empty list.
    void keepExistingFileUntilChanged() { m_keepExisting = true; }
    // Shutdown: writes as saveNow, except over a kept file while nothing has changed.
    bool saveAtExit();

    // The reason of the last failed write; empty after a successful one.
    QString lastError() const { return m_lastError; }

Q_SIGNALS:
    // After each write attempt.
    void saved(bool ok);

private:
    TSortGrid& m_table;
    QString m_path;
    QString m_lastError;
    QTimer m_timer;
    bool m_keepExisting = false;
};

#pragma once

#include "output/FileWriteResult.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <functional>

// Writes documents on a thread of its own, one after the other, so that a long export (a
// protocol of ten thousand rows) never holds up the window and its clock. A job works only on
// what it was given, a copy of the tables made before it started; its result comes back on
// the thread that owns this object. Destroying the object waits for the job that is running.
class BackgroundExport : public QObject {
    Q_OBJECT
public:
    // How far the running job is: `done` of `total` steps, or no count (total 0).
    struct Progress {
        std::atomic<int> done{0};
        std::atomic<int> total{0};
    };
    using Job = std::function<FileWriteResult(Progress& progress)>;
    using Done = std::function<void(const FileWriteResult& result)>;

    explicit BackgroundExport(QObject* parent = nullptr);
    ~BackgroundExport() override;

    // `what` names the job while it runs ("Word-Dokument wird geschrieben").
    void run(const QString& what, Job job, Done done);

    bool busy() const { return m_waiting > 0; }
    // The name of the oldest unfinished job, and its progress.
    QString task() const { return m_tasks.isEmpty() ? QString() : m_tasks.first(); }
    int done() const { return m_progress.done; }
    int total() const { return m_progress.total; }

    // Lets the jobs run to the end and delivers their results; false after the timeout.
    bool waitForIdle(int timeoutMs);

Q_SIGNALS:
    void busyChanged(bool busy);

private:
    void finish(const Done& done, const FileWriteResult& result);

    QThreadPool m_pool;
    Progress m_progress;
    QStringList m_tasks;
    int m_waiting = 0;
};

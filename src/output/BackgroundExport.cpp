#include "output/BackgroundExport.h"

#include "platform/CNumberLocale.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

BackgroundExport::BackgroundExport(QObject* parent) : QObject(parent) {
    // One at a time: two exports to one file must not overtake each other.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

BackgroundExport::~BackgroundExport() {
    // A document being written is finished rather than left half done; its result is dropped.
    m_pool.waitForDone();
}

void BackgroundExport::run(const QString& what, Job job, Done done) {
    m_tasks.append(what);
    if (m_waiting++ == 0)
        Q_EMIT busyChanged(true);
    m_pool.start([this, job = std::move(job), done = std::move(done)] {
        m_progress.total = 0;
        m_progress.done = 0;
        FileWriteResult result;
        {
            // Numbers in the written files never take the user's decimal comma.
            const CNumberLocale cNumbers;
            result = job(m_progress);
        }
        QMetaObject::invokeMethod(
            this, [this, done, result] { finish(done, result); }, Qt::QueuedConnection);
    });
}

void BackgroundExport::finish(const Done& done, const FileWriteResult& result) {
    if (!m_tasks.isEmpty())
        m_tasks.removeFirst();
    --m_waiting;
    if (done)
        done(result);
    if (m_waiting == 0)
        Q_EMIT busyChanged(false);
}

bool BackgroundExport::waitForIdle(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (busy()) {
        if (deadline.hasExpired())
            return false;
        m_pool.waitForDone(10);
        QCoreApplication::sendPostedEvents(this);
    }
    return true;
}

#pragma once

#include "live/LiveStaticSite.h"
#include "publish/UploadTarget.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class UploadQueue;

// The live pages on a web host, for audiences the venue's network cannot reach: after a change
// the site is built from the state and the files that changed go up (WebTransfer), at most one
// round every intervalS seconds, the newest state winning: a change during a round makes one
// more round later, never a line of stale ones. Building the pages and the network run on a
// thread of the uploader's own; the window's thread only hands it the state. What the host has
// not confirmed is kept in the queue folder (UploadQueue) and goes up when the link returns or
// the program runs again, after a failure with a growing pause (2 s up to 60 s).
class WebUploader : public QObject {
    Q_OBJECT
public:
    // What a round is built from, taken on the window's thread: plain copies. The cup's page,
    // when a cup is open, is made on the uploader's thread.
    struct Round {
        LiveSnapshot snapshot;
        double serverTimeMs = 0;
        LiveStaticSite::Reader reader;
        std::function<QByteArray()> cupPage;
    };
    using Source = std::function<Round()>;

    // While a run goes, state.json goes up again at least this often: the pages take one older
    // than 30 s for a timing PC gone away and stop their clock.
    static constexpr int refreshWhileRunningMs = 15000;
    static constexpr int backoffMinS = 2;
    static constexpr int backoffMaxS = 60;

    WebUploader(UploadTarget target, QString queueFolder, Source source, QObject* parent = nullptr);
    ~WebUploader() override;
    WebUploader(const WebUploader&) = delete;
    WebUploader& operator=(const WebUploader&) = delete;

    // The thread reads the queue and sends what an earlier run left pending.
    void start();
    // The newest state into the queue for the next run; a round under way is broken off.
    void shutdown();

    const UploadTarget& target() const { return m_target; }
    QString queueFolder() const { return m_queueFolder; }
    QString statusText() const { return m_status; }
    bool isFailing() const { return m_failing; }
    // When the host last confirmed a whole round; invalid before.
    QDateTime lastUpload() const { return m_lastUpload; }

    static QString uploadedText(const QDateTime& when);

public Q_SLOTS:
    // The state changed: it goes up with the next round.
    void sourceChanged();

Q_SIGNALS:
    // A round went up whole, or one failed (failing, the text says why and when it is tried
    // again); empty text once stopped.
    void statusChanged(const QString& text, bool failing);

private:
    void handOver();
    void run();
    // Builds the site of the state handed over last into the queue; false when the queue
    // could not keep it on disk.
    bool takeRound(UploadQueue& queue);
    // Sends what the queue holds; empty when the host has it all, else why not.
    QString sendPending(UploadQueue& queue);
    void report(const QString& text, bool failing, bool uploaded);
    void setStatus(const QString& text, bool failing);

    UploadTarget m_target;
    QString m_queueFolder;
    Source m_source;
    QTimer m_throttle;
    QTimer m_stillRunning;
    QElapsedTimer m_lastHandOver;
    bool m_started = false;
    QString m_status;
    bool m_failing = false;
    QDateTime m_lastUpload;

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Round> m_next; // guarded by m_mutex
    std::atomic<bool> m_stop = false;
};

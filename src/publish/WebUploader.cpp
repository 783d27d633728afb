#include "publish/WebUploader.h"

#include "publish/UploadErrorText.h"
#include "publish/UploadQueue.h"
#include "publish/WebTransfer.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

WebUploader::WebUploader(UploadTarget target, QString queueFolder, Source source, QObject* parent)
    : QObject(parent), m_target(std::move(target)), m_queueFolder(std::move(queueFolder)),
      m_source(std::move(source)) {
    m_target.intervalS = qBound(1, m_target.intervalS, 300);
    m_throttle.setSingleShot(true);
    connect(&m_throttle, &QTimer::timeout, this, &WebUploader::handOver);
    m_stillRunning.setSingleShot(true);
    connect(&m_stillRunning, &QTimer::timeout, this, &WebUploader::sourceChanged);
}

WebUploader::~WebUploader() {
    shutdown();
}

QString WebUploader::uploadedText(const QDateTime& when) {
    return QStringLiteral("Hochgeladen ") + when.toString(QStringLiteral("HH:mm:ss"));
}

void WebUploader::start() {
    if (m_started)
        return;
    m_started = true;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
}

void WebUploader::shutdown() {
    if (!m_started)
        return;
    // A change still waiting for its round is kept for the next run.
    if (m_throttle.isActive()) {
        m_throttle.stop();
        handOver();
    }
    m_started = false;
    m_stillRunning.stop();
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    setStatus(QString(), false);
}

void WebUploader::sourceChanged() {
    if (!m_started || m_throttle.isActive())
        return;
    const qint64 intervalMs = qint64(m_target.intervalS) * 1000;
    const qint64 since = m_lastHandOver.isValid() ? m_lastHandOver.elapsed() : intervalMs;
    m_throttle.start(int(qMax<qint64>(0, intervalMs - since)));
}

void WebUploader::handOver() {
    m_lastHandOver.start();
    Round round = m_source();
    // Nothing changes on the pages while a run goes; a state.json stamped anew tells the
    // readers the clock still runs, where one left behind would have them stop it.
    const auto state = round.snapshot.clock.state;
    if (state == LiveSnapshot::Clock::State::Running ||
        state == LiveSnapshot::Clock::State::Countdown)
        m_stillRunning.start(refreshWhileRunningMs);
    else
        m_stillRunning.stop();
    {
        const std::lock_guard lock(m_mutex);
        m_next = std::move(round);
    }
    m_wake.notify_all();
}

void WebUploader::run() {
    UploadQueue queue(m_queueFolder);
    queue.load();
    int backoffS = backoffMinS;
    // Before it, a failed round is not tried again.
    Clock::time_point retryAt = Clock::time_point::min();
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            while (!m_stop) {
                const bool work = m_next.has_value() || !queue.isEmpty();
                if (work && Clock::now() >= retryAt)
                    break;
                if (work)
                    m_wake.wait_until(lock, retryAt);
                else
                    m_wake.wait(lock);
            }
        }
        const bool kept = takeRound(queue);
        const bool sending = !queue.isEmpty();
        const QString failure = m_stop ? QString() : sendPending(queue);
        if (m_stop) {
            // The state handed over last, for the next run of the program.
            takeRound(queue);
            return;
        }
        if (failure.isEmpty()) {
            retryAt = Clock::time_point::min();
            backoffS = backoffMinS;
            if (!kept)
                report(QStringLiteral("Warteschlange in %1 nicht speicherbar").arg(m_queueFolder),
                       true, sending);
            else if (sending)
                report(QString(), false, true);
        } else {
            retryAt = Clock::now() + std::chrono::seconds(backoffS);
            report(failure + QStringLiteral("; neuer Versuch in %1 s").arg(backoffS), true, false);
            backoffS = qMin(backoffS * 2, backoffMaxS);
        }
    }
}

bool WebUploader::takeRound(UploadQueue& queue) {
    std::optional<Round> round;
    {
        const std::lock_guard lock(m_mutex);
        round = std::exchange(m_next, std::nullopt);
    }
    if (!round)
        return true;
    const qint64 number = queue.lastRound() + 1;
    const QByteArray cupPage = round->cupPage ? round->cupPage() : QByteArray();
    const LiveStaticSite::Stamp stamp{round->serverTimeMs, queue.epoch(), number};
    return queue.replace(number,
                         LiveStaticSite::build(round->snapshot, round->reader, stamp, cupPage));
}

QString WebUploader::sendPending(UploadQueue& queue) {
    if (queue.isEmpty())
        return {};
    WebTransfer transfer(m_target, [this] { return m_stop.load(); });
    if (!transfer.unusable().isEmpty())
        return transfer.unusable();
    while (!queue.isEmpty() && !m_stop) {
        const UploadQueue::Step& step = queue.pending().first();
        const WebTransfer::Outcome outcome = step.kind == UploadQueue::Step::Kind::Put
                                                 ? transfer.put(step.name, step.bytes)
                                                 : transfer.remove(step.name);
        if (!outcome.ok())
            return UploadErrorText::describe(outcome, transfer);
        queue.confirmFirst();
    }
    return {};
}

void WebUploader::report(const QString& text, bool failing, bool uploaded) {
    QMetaObject::invokeMethod(
        this,
        [this, text, failing, uploaded] {
            if (!m_started)
                return;
            if (uploaded)
                m_lastUpload = QDateTime::currentDateTime();
            QString shown = uploaded ? uploadedText(m_lastUpload) : QString();
            if (!text.isEmpty())
                shown = (shown.isEmpty() ? QStringLiteral("Webspace") : shown) +
                        QStringLiteral(": ") + text;
            setStatus(shown, failing);
        },
        Qt::QueuedConnection);
}

void WebUploader::setStatus(const QString& text, bool failing) {
    if (text == m_status && failing == m_failing)
        return;
    m_status = text;
    m_failing = failing;
    Q_EMIT statusChanged(m_status, m_failing);
}

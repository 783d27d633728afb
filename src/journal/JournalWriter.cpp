#include "journal/JournalWriter.h"

#include "journal/JournalLineFormat.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

JournalWriter::JournalWriter(QString folder, QString programTitle, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_title(std::move(programTitle)) {
    m_thread = std::thread([this] { run(); });
    m_syncThread = std::thread([this] { syncLoop(); });
}

JournalWriter::~JournalWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
    {
        std::lock_guard lock(m_mutex);
        m_syncStop = true;
    }
    m_syncWake.notify_one();
    m_syncThread.join();
    closeFile();
}

QString JournalWriter::fileName(const QString& programTitle, const QDate& date) {
    return programTitle + QStringLiteral("-Journal-") +
           date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
}

QString JournalWriter::pathFor(const QDate& date) const {
    return QDir(m_folder).filePath(fileName(m_title, date));
}

void JournalWriter::append(const JournalEntry& entry) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(entry);
        ++m_queuedCount;
    }
    m_wake.notify_one();
}

bool JournalWriter::flush(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    const quint64 target = m_queuedCount;
    m_progress.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [&] { return m_finishedCount >= target; });
    return m_finishedCount >= target && !m_failing.load();
}

qsizetype JournalWriter::heldBack() const {
    std::lock_guard lock(m_mutex);
    return m_held;
}

void JournalWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto wait =
            std::chrono::milliseconds(m_pending.empty() ? 24 * 3600 * 1000 : retryIntervalMs);
        m_wake.wait_for(lock, wait, [this] { return m_stop || !m_queue.empty(); });
        std::vector<JournalEntry> batch;
        batch.swap(m_queue);
        const quint64 batchEnd = m_queuedCount;
        const bool stopping = m_stop;
        lock.unlock();

        // Formatting happens here, off the thread that queued the events.
        for (const JournalEntry& entry : batch) {
            const QDate date = entry.wallClock.date();
            QByteArray line = JournalLineFormat::format(entry).toUtf8();
            line += '\n';
            if (m_pending.empty() || m_pending.back().date != date)
                m_pending.push_back({date, std::move(line)});
            else
                m_pending.back().bytes += line;
        }
        const QString error = m_pending.empty() ? QString() : writeChunks(m_pending);
        qsizetype held = 0;
        for (const Chunk& chunk : m_pending)
            held += chunk.bytes.count('\n');
        while (held > maxHeldBack && !m_pending.empty()) {
            held -= m_pending.front().bytes.count('\n');
            m_pending.pop_front();
        }

        const bool failed = !error.isEmpty();
        m_failing.store(failed);
        if (failed && !m_failureTold.exchange(true)) {
            const QString path = m_pending.empty() ? m_folder : pathFor(m_pending.front().date);
            Q_EMIT writeFailed(path, error);
        } else if (!failed && m_failureTold.exchange(false)) {
            Q_EMIT writeRecovered();
        }

        lock.lock();
        m_held = held;
        if (failed) {
            m_finishedCount = batchEnd;
            m_progress.notify_all();
        } else {
            // Written means safe from a crash of the program; the sync thread makes it safe
            // from a power cut, without holding up the next write.
            m_toSync = batchEnd;
            m_syncWake.notify_one();
        }
        if (stopping && m_queue.empty())
            return;
    }
}

QString JournalWriter::writeChunks(std::deque<Chunk>& chunks) {
    bool wrote = false;
    while (!chunks.empty()) {
        Chunk& chunk = chunks.front();
        QString error;
        if (!openFor(chunk.date, error))
            return error;
        qsizetype done = 0;
        while (done < chunk.bytes.size()) {
            const ssize_t n = ::write(m_fd, chunk.bytes.constData() + done,
                                      static_cast<size_t>(chunk.bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const int code = n < 0 ? errno : ENOSPC;
                // What did reach the file stays there; the rest is tried again from its byte.
                chunk.bytes.remove(0, done);
                m_bytesWritten.fetch_add(done);
                if (done > 0)
                    ::fdatasync(m_fd);
                closeFile();
                return systemError(code);
            }
            done += n;
        }
        m_bytesWritten.fetch_add(done);
        wrote = true;
        chunks.pop_front();
        if (!chunks.empty() && chunks.front().date != m_fileDate && ::fdatasync(m_fd) != 0) {
            const int code = errno;
            closeFile();
            return systemError(code);
        }
    }
    Q_UNUSED(wrote)
    return QString();
}

void JournalWriter::syncLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_syncWake.wait(lock, [this] { return m_syncStop || m_toSync > m_finishedCount; });
        if (m_toSync <= m_finishedCount && m_syncStop)
            return;
        const quint64 target = m_toSync;
        // A copy of the descriptor, so the writer can close its file meanwhile.
        const int fd = m_syncFd >= 0 ? ::dup(m_syncFd) : -1;
        lock.unlock();
        const bool ok = fd < 0 || ::fdatasync(fd) == 0;
        const int code = errno;
        if (fd >= 0)
            ::close(fd);
        if (!ok) {
            m_failing.store(true);
            if (!m_failureTold.exchange(true))
                Q_EMIT writeFailed(pathFor(QDate::currentDate()), systemError(code));
        }
        lock.lock();
        m_finishedCount = qMax(m_finishedCount, target);
        m_progress.notify_all();
    }
}

bool JournalWriter::openFor(const QDate& date, QString& error) {
    if (m_fd >= 0 && m_fileDate == date)
        return true;
    closeFile();
    QDir().mkpath(m_folder);
    const QByteArray path = QFile::encodeName(pathFor(date));
    const int fd = ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = systemError(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = QStringLiteral("keine gewöhnliche Datei");
        ::close(fd);
        return false;
    }
    QByteArray start;
    if (info.st_size == 0) {
        start = JournalLineFormat::header().toUtf8() + '\n';
    } else {
        // A line cut by a crash gets its line break, so the next event starts a line of its own.
        char last = '\n';
        if (::pread(fd, &last, 1, info.st_size - 1) == 1 && last != '\n')
            start = "\n";
    }
    if (!start.isEmpty() &&
        ::write(fd, start.constData(), static_cast<size_t>(start.size())) != start.size()) {
        error = systemError(errno ? errno : ENOSPC);
        ::close(fd);
        return false;
    }
    m_bytesWritten.fetch_add(start.size());
    m_fd = fd;
    m_fileDate = date;
    std::lock_guard lock(m_mutex);
    m_syncFd = fd;
    return true;
}

void JournalWriter::closeFile() {
    if (m_fd >= 0) {
        std::lock_guard lock(m_mutex);
        m_syncFd = -1;
        ::close(m_fd);
    }
    m_fd = -1;
    m_fileDate = QDate();
}

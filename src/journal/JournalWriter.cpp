#include "journal/JournalWriter.h"

#include "journal/JournalLineFormat.h"

#include <QDir>
#include <QElapsedTimer>
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

QByteArray JournalWriter::heldBackLines() const {
    std::lock_guard lock(m_mutex);
    return m_heldLines;
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
        QByteArray added;
        for (const JournalEntry& entry : batch) {
            const QDate date = entry.wallClock.date();
            QByteArray line = JournalLineFormat::format(entry).toUtf8();
            line += '\n';
            added += line;
            if (m_pending.empty() || m_pending.back().date != date)
                m_pending.push_back({date, std::move(line), {}});
            else
                m_pending.back().bytes += line;
        }
        const bool wasFailing = m_failing.load();
        const qint64 writtenBefore = m_bytesWritten.load();
        QString error = m_pending.empty() ? QString() : writeChunks(m_pending);
        if (stopping && !error.isEmpty()) {
            QElapsedTimer waited;
            waited.start();
            while (!error.isEmpty() && waited.elapsed() < finalRetryMs) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                error = writeChunks(m_pending);
            }
        }
        qsizetype held = 0;
        for (const Chunk& chunk : m_pending)
            held += chunk.bytes.count('\n');
        bool dropped = false;
        while (held > maxHeldBack && !m_pending.empty()) {
            held -= m_pending.front().bytes.count('\n');
            m_pending.pop_front();
            dropped = true;
        }

        const bool failed = !error.isEmpty();
        // The copy for readers grows with the held lines; it is made anew only when some of
        // them went (written or dropped).
        const bool remake = !wasFailing || dropped || m_bytesWritten.load() != writtenBefore;
        QByteArray heldLines;
        if (failed && remake)
            for (const Chunk& chunk : m_pending)
                heldLines += chunk.onDisk + chunk.bytes;
        m_failing.store(failed);
        if (failed && !m_failureTold.exchange(true)) {
            const QString path = m_pending.empty() ? m_folder : pathFor(m_pending.front().date);
            Q_EMIT writeFailed(path, error);
        } else if (!failed && m_failureTold.exchange(false)) {
            Q_EMIT writeRecovered();
        }

        lock.lock();
        m_held = held;
        if (!failed)
            m_heldLines.clear();
        else if (remake)
            m_heldLines = std::move(heldLines);
        else
            m_heldLines += added;
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
    while (!chunks.empty()) {
        Chunk& chunk = chunks.front();
        QString error;
        bool continuing = !chunk.onDisk.isEmpty();
        if (!openFor(chunk.date, continuing, error))
            return error;
        if (!chunk.onDisk.isEmpty() && !continuing)
            chunk.bytes.prepend(chunk.onDisk);
        if (!continuing)
            chunk.onDisk.clear();
        qsizetype done = 0;
        while (done < chunk.bytes.size()) {
            const ssize_t n = ::write(m_fd, chunk.bytes.constData() + done,
                                      static_cast<size_t>(chunk.bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const int code = n < 0 ? errno : ENOSPC;
                m_bytesWritten.fetch_add(done);
                keepCutLine(chunk, done);
                if (done > 0)
                    ::fdatasync(m_fd);
                closeFile();
                return systemError(code);
            }
            done += n;
        }
        m_bytesWritten.fetch_add(done);
        chunks.pop_front();
        if (!chunks.empty() && chunks.front().date != m_fileDate && ::fdatasync(m_fd) != 0) {
            const int code = errno;
            closeFile();
            return systemError(code);
        }
    }
    return QString();
}

void JournalWriter::keepCutLine(Chunk& chunk, qsizetype written) {
    // What reached the file stays there: whole lines are done, and the head of a cut line is
    // remembered with the size the file has now, so the next try writes just its tail.
    const qsizetype lineStart = written > 0 ? chunk.bytes.lastIndexOf('\n', written - 1) + 1 : 0;
    if (lineStart > 0)
        chunk.onDisk.clear();
    chunk.onDisk += chunk.bytes.mid(lineStart, written - lineStart);
    chunk.bytes.remove(0, written);
    struct stat info {};
    m_cutSize = !chunk.onDisk.isEmpty() && ::fstat(m_fd, &info) == 0 ? info.st_size : -1;
}

void JournalWriter::syncLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_syncWake.wait(lock, [this] { return m_syncStop || m_toSync > m_finishedCount; });
        if (m_toSync <= m_finishedCount && m_syncStop)
            return;
        const quint64 target = m_toSync;
        lock.unlock();
        bool ok = true;
        int code = 0;
        {
            const std::lock_guard fdLock(m_fdMutex);
            if (m_syncFd >= 0 && ::fdatasync(m_syncFd) != 0) {
                ok = false;
                code = errno;
            }
        }
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

bool JournalWriter::openFor(const QDate& date, bool& continuing, QString& error) {
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
    continuing = continuing && info.st_size > 0 && info.st_size == m_cutSize;
    QByteArray start;
    if (continuing) {
        // The file ends with the head of the line this writer could not finish.
    } else if (info.st_size == 0) {
        start = JournalLineFormat::header().toUtf8() + '\n';
    } else {
        // A line cut by a crash gets its line break, so the next event starts a line of its own.
        char last = '\n';
        if (::pread(fd, &last, 1, info.st_size - 1) == 1 && last != '\n')
            start = "\n";
    }
    if (!start.isEmpty()) {
        const ssize_t n = ::write(fd, start.constData(), static_cast<size_t>(start.size()));
        if (n != start.size()) {
            error = systemError(n < 0 ? errno : ENOSPC);
            // No half header or line break is left behind to be taken for a cut line.
            if (n > 0 && ::ftruncate(fd, info.st_size) != 0)
                error += QStringLiteral(" (") + systemError(errno) + u')';
            ::close(fd);
            return false;
        }
    }
    m_bytesWritten.fetch_add(start.size());
    m_fd = fd;
    m_fileDate = date;
    const std::lock_guard fdLock(m_fdMutex);
    m_syncFd = fd;
    return true;
}

void JournalWriter::closeFile() {
    if (m_fd >= 0) {
        const std::lock_guard fdLock(m_fdMutex);
        m_syncFd = -1;
        ::close(m_fd);
    }
    m_fd = -1;
    m_fileDate = QDate();
}

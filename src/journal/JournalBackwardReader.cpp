#include "journal/JournalBackwardReader.h"

#include "journal/JournalReader.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

JournalBackwardReader::JournalBackwardReader(QStringList paths, qint64 blockBytes)
    : m_paths(std::move(paths)), m_blockBytes(qMax<qint64>(1, blockBytes)) {}

JournalBackwardReader::~JournalBackwardReader() {
    closeFile();
}

void JournalBackwardReader::setNewestLines(QByteArray lines) {
    m_newest = std::move(lines);
}

void JournalBackwardReader::closeFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_inMemory = false;
    m_buffer.clear();
}

bool JournalBackwardReader::openNext() {
    if (!m_newest.isEmpty()) {
        m_buffer = std::exchange(m_newest, QByteArray());
        m_inMemory = true;
        m_blockStart = 0;
        m_overlong = false;
        m_cutEnd = !m_buffer.endsWith('\n');
        return true;
    }
    while (m_next < m_paths.size()) {
        const QString path = m_paths[m_next++];
        const QByteArray native = QFile::encodeName(path);
        // Non-blocking, so a FIFO cannot hold up the open; its type is then refused.
        const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT)
                m_errors.append(QFileInfo(path).fileName() + QStringLiteral(": ") +
                                QString::fromLocal8Bit(std::strerror(errno)));
            continue;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            m_errors.append(QFileInfo(path).fileName() + QStringLiteral(": ") +
                            JournalReader::notRegularText());
            ::close(fd);
            continue;
        }
        const qsizetype index = m_next - 1;
        const qint64 fileSize = info.st_size;
        const qint64 size =
            index < m_ends.size() ? std::clamp(m_ends[index], qint64{0}, fileSize) : fileSize;
        m_fd = fd;
        m_blockStart = size;
        m_buffer.clear();
        m_overlong = false;
        char last = '\n';
        m_cutEnd = size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
        return true;
    }
    return false;
}

bool JournalBackwardReader::readBlock() {
    if (m_blockStart == 0)
        return false;
    // A line longer than a block doubles what is read, so a long line costs its length.
    const qint64 size = qMin(qMax(m_blockBytes, qint64{m_buffer.size()}), m_blockStart);
    QByteArray block(static_cast<qsizetype>(size), Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_fd, block.data() + done, static_cast<size_t>(size - done),
                                  m_blockStart - size + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    m_blockStart -= size;
    m_buffer.prepend(block);
    return true;
}

bool JournalBackwardReader::previousLine(QByteArray& line, bool& damaged) {
    for (;;) {
        // The line's own break is the buffer's last byte, unless the line was cut at the end
        // of the file or its end was passed over as too long.
        const bool unterminated = m_cutEnd || m_overlong;
        if (m_buffer.isEmpty() && !unterminated) {
            if (!readBlock())
                return false;
            continue;
        }
        const qsizetype contentEnd = unterminated ? m_buffer.size() : m_buffer.size() - 1;
        const qsizetype lineBreak =
            contentEnd > 0 ? m_buffer.lastIndexOf('\n', contentEnd - 1) : qsizetype(-1);
        if (lineBreak < 0 && m_blockStart > 0) {
            if (m_buffer.size() > longestLineBytes) {
                m_overlong = true;
                m_buffer.clear();
            }
            if (!readBlock())
                return false;
            continue;
        }
        const qsizetype from = lineBreak + 1;
        line = m_buffer.mid(from, contentEnd - from);
        damaged = unterminated;
        m_buffer.truncate(from);
        m_cutEnd = false;
        m_overlong = false;
        return true;
    }
}

QList<JournalEntry> JournalBackwardReader::readOlder(int maxLines, LineFilter wanted) {
    QList<JournalEntry> entries;
    int lines = 0;
    while (lines < maxLines) {
        if (m_fd < 0 && !m_inMemory && !openNext())
            break;
        QByteArray raw;
        bool damaged = false;
        if (!previousLine(raw, damaged)) {
            closeFile();
            continue;
        }
        ++lines;
        if (damaged) {
            ++m_skipped;
            continue;
        }
        if (wanted && !wanted(raw))
            continue;
        if (auto entry = JournalReader::lineEntry(raw, damaged))
            entries.append(std::move(*entry));
        else if (damaged)
            ++m_skipped;
    }
    return entries;
}

#pragma once

#include "journal/JournalEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// Reads journal day files from their end towards their beginning, a block at a time, newest
// event first: what the newest events cost does not grow with the journal. Several files are
// read one after the other (today's, then yesterday's), each up to the size it had when the
// reader reached it, so lines written meanwhile are not read twice. A file that is not a
// regular file is refused; a damaged line is skipped and counted.
class JournalBackwardReader {
public:
    // Newest file first; missing files are passed over.
    explicit JournalBackwardReader(QStringList paths, qint64 blockBytes = defaultBlockBytes);
    ~JournalBackwardReader();
    JournalBackwardReader(const JournalBackwardReader&) = delete;
    JournalBackwardReader& operator=(const JournalBackwardReader&) = delete;

    // Lines newer than all files, read before them: what the writer holds back while the
    // file cannot be written.
    void setNewestLines(QByteArray lines);
    // Each file is read only up to the size given for it (in the order of the paths), so that
    // what is appended after a moment is left to whoever saw it come; a negative size reads
    // nothing of that file.
    void setEnds(QList<qint64> sizes) { m_ends = std::move(sizes); }

    // Up to maxLines further lines back; the events among them, newest first. Empty once the
    // beginning of the oldest file is reached. A line `wanted` turns down is passed over
    // unread, which spares the parsing of lines nobody asks for.
    using LineFilter = bool (*)(const QByteArray& line);
    QList<JournalEntry> readOlder(int maxLines, LineFilter wanted = nullptr);
    bool atBeginning() const {
        return m_next >= m_paths.size() && m_fd < 0 && !m_inMemory && m_newest.isEmpty();
    }
    int skippedLines() const { return m_skipped; }
    // "<file>: <reason>" for every file that is there but could not be read.
    QStringList errors() const { return m_errors; }

    static constexpr qint64 defaultBlockBytes = 64 * 1024;
    // A "line" longer than this is damage, not an event; it is passed over without keeping it.
    static constexpr qint64 longestLineBytes = 1024 * 1024;

private:
    bool openNext();
    void closeFile();
    // The last line before the read position, without its line break; false when the file
    // has no more. Sets damaged for a line that cannot be an event.
    bool previousLine(QByteArray& line, bool& damaged);
    bool readBlock();

    QStringList m_paths;
    QList<qint64> m_ends;
    const qint64 m_blockBytes;
    qsizetype m_next = 0;
    int m_fd = -1;
    bool m_inMemory = false; // reading the newest lines, which are in no file
    QByteArray m_newest;
    qint64 m_blockStart = 0; // file offset of m_buffer's first byte
    QByteArray m_buffer;     // unread bytes up to the read position
    bool m_cutEnd = false;   // the file's last line has no line break
    bool m_overlong = false; // inside a line longer than longestLineBytes
    int m_skipped = 0;
    QStringList m_errors;
};

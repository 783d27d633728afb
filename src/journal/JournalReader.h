#pragma once

#include "journal/JournalEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

// Reads a journal file back. A damaged line, such as the last line cut short by a crash, is
// skipped and counted; it never makes the rest of the file unreadable. What is not a regular
// file (a FIFO, a device, a link to one) is refused before it could block or never end.
class JournalReader {
public:
    struct Result {
        QList<JournalEntry> entries;
        int skippedLines = 0;
        bool fileExists = false;
        // Why an existing file could not be opened; empty otherwise.
        QString error;
    };

    static Result readFile(const QString& path);
    static Result readBytes(const QByteArray& bytes);

    // One line without its line break: the event, or nullopt with damaged set when the line
    // cannot be read (the header and empty lines are neither).
    static std::optional<JournalEntry> lineEntry(QByteArrayView raw, bool& damaged);
    // The reason told for a journal that is not a regular file.
    static QString notRegularText() { return QStringLiteral("keine gewöhnliche Datei"); }

    // Larger journals are read from their end (JournalBackwardReader), never whole.
    static constexpr qint64 maxWholeFileBytes = 1LL << 30;
};

#pragma once

#include "journal/JournalEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads a journal file back. A damaged line, such as the last line cut short by a crash, is
// skipped and counted; it never makes the rest of the file unreadable.
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
};

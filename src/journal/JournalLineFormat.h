#pragma once

#include "journal/JournalEntry.h"

#include <QString>
#include <QStringView>
#include <optional>

// The journal's text line: tab-separated columns in a fixed order under a header line, tabs,
// line breaks and backslashes in texts escaped, so that every event is exactly one line a
// spreadsheet opens as one row.
class JournalLineFormat {
public:
    static constexpr int columnCount = 13;
    // The column names, tab-separated, without a line break.
    static QString header();
    // One event without the line break.
    static QString format(const JournalEntry& entry);
    // The event of one line (without its line break); empty when the line is damaged: a wrong
    // number of columns, an unknown event or a field that does not read back.
    static std::optional<JournalEntry> parse(QStringView line);

    static QString wallClockText(const QDateTime& time);
    static QString escaped(const QString& text);
    static std::optional<QString> unescaped(QStringView text);
};

#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// One event of the impulse journal: a program start or end, a line change of a light barrier,
// a timing or file command, or a change of a table cell or row. Fields an event does not use
// stay empty, so every event has the same columns in the file.
struct JournalEntry {
    enum class Kind {
        ProgramStart,
        ProgramEnd,
        LineChange,
        Command,
        Cell,
        RowAdded,
        RowRemoved,
        Note
    };

    QDateTime wallClock;
    // The monotonic microsecond stamp of the impulse or command; none for table changes.
    std::optional<qint64> stamp;
    Kind kind = Kind::Note;
    // The line ("DSR (Start)"), the command ("Stopp") or what the note is about.
    QString name;
    // Who gave the command: "Taste", "Knopf", "Menü", "Lichtschranke", "automatisch", ...
    QString source;
    QString table;
    std::optional<int> row;
    QString number; // "Nr." of the row
    QString column;
    QString oldText;
    QString newText;
    std::optional<qint64> runMicroseconds;
    QString remark;

    // The timing impulses and commands, which carry a stamp a run time can be taken from.
    bool isImpulse() const { return (kind == Kind::LineChange || kind == Kind::Command) && stamp; }

    static QString kindText(Kind kind);
    static std::optional<Kind> kindFromText(const QString& text);

    bool operator==(const JournalEntry&) const = default;
};

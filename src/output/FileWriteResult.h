#pragma once

#include <QString>

// The outcome of writing one file: success, or the text the window shows and the system's reason.
struct FileWriteResult {
    bool ok = true;
    QString message; // what the user is told, for example "Der Schreibfehler der Datei: x.txt"
    QString reason;  // the operating system's explanation, for a status hint

    explicit operator bool() const { return ok; }

    static FileWriteResult success() { return FileWriteResult{}; }
    static FileWriteResult failure(const QString& message, const QString& reason) {
        return FileWriteResult{false, message, reason};
    }
};

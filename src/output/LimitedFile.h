#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reads a file the operator put beside the program, such as a certificate design, only when
// it is a regular file no larger than a limit, and says in a few words why not otherwise:
// a huge or endless file must never fill the memory.
namespace LimitedFile {

struct Content {
    std::optional<QByteArray> bytes; // the whole file when it can be used
    QString reason;                  // otherwise why not, e.g. "Datei ist größer als 5 MB"
};

Content read(const QString& path, qint64 maxBytes);

} // namespace LimitedFile

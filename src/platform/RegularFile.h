#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole file only when it is a regular file: a FIFO, a device, a folder or a link to
// one of them is refused before anything could block or run without end, and the size limit
// counts the bytes actually read, not what the file system claims.
namespace RegularFile {

enum class Status { Read, Missing, NotRegular, TooLarge, Failed };

struct Content {
    Status status = Status::Failed;
    QByteArray bytes; // the whole file when status is Read, otherwise empty

    bool ok() const { return status == Status::Read; }
};

// At most maxBytes bytes; one byte more is TooLarge.
Content read(const QString& path, qint64 maxBytes);

// Something is there under that name, even a dangling link.
bool entryExists(const QString& path);

} // namespace RegularFile

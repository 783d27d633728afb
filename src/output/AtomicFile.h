#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Replaces a file's content all at once: the bytes go to a temporary file beside it, which is
// synced and renamed over the target, so an interrupted or failed write leaves the old file.
namespace AtomicFile {

// nullopt on success, otherwise the reason the write failed.
std::optional<QString> write(const QString& fileName, const QByteArray& bytes);

} // namespace AtomicFile

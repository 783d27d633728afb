#pragma once

#include <QString>
#include <optional>

// A password kept in a file of its own that only the user may read or write (0600), so that
// it is neither in the settings beside the others nor in the folder's backups of them.
namespace SecretFile {

// nullopt when there is no such file or it cannot be read.
std::optional<QString> read(const QString& path);
// Replaces the file whole with one readable by the user alone.
bool write(const QString& path, const QString& secret);

} // namespace SecretFile

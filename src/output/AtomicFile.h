#pragma once

#include "platform/PosixFileSystem.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Replaces a file's content all at once and durably: the bytes go to a new temporary file
// beside the target, which is written in full, synced to the disk, closed and renamed over the
// target, and then the folder is synced so that the rename itself survives a power cut. Every
// step is checked; when one fails the temporary file is removed and the target keeps its old
// content, so a full disk never leaves an empty or cut file behind.
class AtomicFile {
public:
    enum class Step { Create, Write, Sync, Close, Rename, SyncFolder };

    // The step that failed and the system's error number.
    struct Failure {
        Step step = Step::Create;
        int error = 0;
        // For example "Schreiben: No space left on device".
        QString text() const;
    };

    static QString stepName(Step step);

    // nullopt when every step succeeded. A link is followed, so the file it points to is
    // replaced and the link stays. The new file keeps the permissions of the old one (0644,
    // less the umask, for a new file). A failure of the last step (syncing the folder) comes
    // after the rename: the file then holds the new content in full, but it may not yet be on
    // the disk.
    static std::optional<Failure> write(const QString& fileName, const QByteArray& bytes,
                                        FileSystem& system = PosixFileSystem::instance());
};

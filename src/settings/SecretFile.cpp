#include "settings/SecretFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr QFileDevice::Permissions kUserOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther | QFileDevice::ExeOther;
// A password is a line, not a document; a bigger file is not one of ours.
constexpr qint64 kMaxBytes = 4096;

} // namespace

namespace SecretFile {

std::optional<QString> read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxBytes);
    return QString::fromUtf8(bytes);
}

bool write(const QString& path, const QString& secret) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Before the secret goes in: the temporary file is renamed into place as it is.
    if (!file.setPermissions(kUserOnly)) {
        file.cancelWriting();
        return false;
    }
    file.write(secret.toUtf8());
    return file.commit() && (QFile::permissions(path) & kOthers) == 0;
}

} // namespace SecretFile

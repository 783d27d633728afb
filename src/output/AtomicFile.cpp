#include "output/AtomicFile.h"

#include <QSaveFile>

namespace AtomicFile {

std::optional<QString> write(const QString& fileName, const QByteArray& bytes) {
    if (fileName.isEmpty())
        return QStringLiteral("No file name");
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace AtomicFile

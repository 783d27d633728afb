#include "output/LimitedFile.h"

#include "platform/RegularFile.h"

namespace LimitedFile {

Content read(const QString& path, qint64 maxBytes) {
    RegularFile::Content content = RegularFile::read(path, maxBytes);
    switch (content.status) {
    case RegularFile::Status::Read:
        return {std::move(content.bytes), QString()};
    case RegularFile::Status::Missing:
        return {std::nullopt, QStringLiteral("Datei ist nicht mehr da")};
    case RegularFile::Status::NotRegular:
        return {std::nullopt, QStringLiteral("keine gewöhnliche Datei")};
    case RegularFile::Status::TooLarge:
        return {std::nullopt, QStringLiteral("Datei ist größer als %1 MB")
                                  .arg(static_cast<double>(maxBytes) / (1024 * 1024), 0, 'g', 3)};
    case RegularFile::Status::Failed:
        break;
    }
    return {std::nullopt, QStringLiteral("Datei lässt sich nicht lesen (keine Leserechte?)")};
}

} // namespace LimitedFile

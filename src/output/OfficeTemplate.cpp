#include "output/OfficeTemplate.h"

#include "platform/RegularFile.h"

#include <QFileInfo>

namespace OfficeTemplate {

namespace {

QString noun(Kind kind) {
    return kind == Kind::Word ? QStringLiteral("Die Wordvorlage ")
                              : QStringLiteral("Die Excelvorlage ");
}

QString reasonOf(RegularFile::Status status, const QString& path) {
    const QFileInfo info(path);
    switch (status) {
    case RegularFile::Status::Missing:
        if (info.isSymLink())
            return QStringLiteral("Sie ist ein Verweis auf %1, und das gibt es nicht.")
                .arg(info.symLinkTarget());
        return QStringLiteral("Die Datei ist nicht mehr da.");
    case RegularFile::Status::NotRegular:
        return QStringLiteral("Sie ist keine gewöhnliche Datei.");
    case RegularFile::Status::TooLarge:
        return QStringLiteral("Sie ist größer als %1 MB.").arg(SizeLimit / (1024 * 1024));
    case RegularFile::Status::Read:
    case RegularFile::Status::Failed:
        break;
    }
    return QStringLiteral("Sie lässt sich nicht lesen (keine Leserechte?).");
}

} // namespace

QString missingText(Kind kind, const QString& path) {
    return noun(kind) + path + QStringLiteral(" fehlt; es wurde nichts gespeichert.");
}

QString unreadableText(Kind kind, const QString& path) {
    return noun(kind) + path +
           QStringLiteral(" kann nicht gelesen werden; es wurde nichts gespeichert.");
}

Content read(Kind kind, const QString& path) {
    if (!RegularFile::entryExists(path))
        return {std::nullopt, missingText(kind, path), QString()};
    // Office saves its old format under the same name; it is no zip of XML and never was one.
    if (kind == Kind::Excel && path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive))
        return {std::nullopt, unreadableText(kind, path),
                QStringLiteral("Das alte Excel-Format .xls wird nicht gelesen; in Excel oder "
                               "LibreOffice als Protokollvorlage.xlsx gespeichert, wird sie "
                               "verwendet.")};
    RegularFile::Content content = RegularFile::read(path, SizeLimit);
    if (!content.ok())
        return {std::nullopt, unreadableText(kind, path), reasonOf(content.status, path)};
    return {std::move(content.bytes), QString(), QString()};
}

} // namespace OfficeTemplate

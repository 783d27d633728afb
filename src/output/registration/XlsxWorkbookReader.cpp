#include "output/registration/XlsxWorkbookReader.h"

#include "output/ZipPackage.h"
#include "output/registration/BoundedXmlReader.h"
#include "output/registration/ImportLimits.h"
#include "output/registration/SheetBuilder.h"
#include "output/registration/XlsxCellStyles.h"
#include "output/registration/XlsxSharedStrings.h"
#include "output/registration/XlsxSheetReader.h"

#include <QHash>

namespace {

const QString kDefaultWorkbook = QStringLiteral("xl/workbook.xml");

struct SheetEntry {
    QString name;
    QString relationship;
    bool hidden = false;
};

// Relationship targets are relative to the folder of the part that names them.
QString resolve(const QString& fromPart, const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    QStringList path = fromPart.split(u'/');
    path.removeLast();
    for (const QString& step : target.split(u'/', Qt::SkipEmptyParts)) {
        if (step == u"..") {
            if (!path.isEmpty())
                path.removeLast();
        } else if (step != u".") {
            path.append(step);
        }
    }
    return path.join(u'/');
}

QString relationshipsOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

// Relationship id -> part name, and the first part of each type ending ("/styles").
struct Relationships {
    QHash<QString, QString> byId;
    QHash<QString, QString> byType;
};

std::optional<Relationships> readRelationships(const ZipPackage& package, const QString& part,
                                               QString* error) {
    Relationships result;
    const QString name = relationshipsOf(part);
    BoundedXmlReader reader(package.part(name), name, ImportLimits::kMaxXmlDepth);
    while (reader.next()) {
        if (!reader.isStart() || !reader.is(u"Relationship"))
            continue;
        if (reader.attribute(u"TargetMode") == u"External")
            continue;
        const QString target = resolve(part, reader.attribute(u"Target"));
        result.byId.insert(reader.attribute(u"Id"), target);
        const QString type = reader.attribute(u"Type").section(u'/', -1);
        if (!result.byType.contains(type))
            result.byType.insert(type, target);
    }
    if (reader.failed()) {
        *error = reader.error();
        return std::nullopt;
    }
    return result;
}

QString workbookPart(const ZipPackage& package) {
    QString error;
    const auto root = readRelationships(package, QString(), &error);
    if (root) {
        const QString part = root->byType.value(QStringLiteral("officeDocument"));
        if (package.contains(part))
            return part;
    }
    return kDefaultWorkbook;
}

bool readWorkbook(const QByteArray& xml, const QString& part, QList<SheetEntry>* sheets,
                  bool* date1904, QString* error) {
    BoundedXmlReader reader(xml, part, ImportLimits::kMaxXmlDepth);
    while (reader.next()) {
        if (!reader.isStart())
            continue;
        if (reader.is(u"workbookPr")) {
            const QString value = reader.attribute(u"date1904");
            *date1904 = value == u"1" || value == u"true";
        } else if (reader.is(u"sheet")) {
            if (sheets->size() >= ImportLimits::kMaxSheets) {
                *error = QStringLiteral("Die Arbeitsmappe hat mehr als %1 Blätter.")
                             .arg(ImportLimits::kMaxSheets);
                return false;
            }
            const QString state = reader.attribute(u"state");
            sheets->append({reader.attribute(u"name"), reader.attribute(u"id"),
                            state == u"hidden" || state == u"veryHidden"});
        }
    }
    *error = reader.error();
    return !reader.failed();
}

bool isWorksheet(const QByteArray& xml) {
    return xml.left(8192).contains("worksheet");
}

} // namespace

bool XlsxWorkbookReader::isWorkbook(const ZipPackage& package) {
    return package.contains(workbookPart(package));
}

ImportReadResult XlsxWorkbookReader::read(const ZipPackage& package) {
    const QString workbook = workbookPart(package);
    QString error;
    QList<SheetEntry> entries;
    bool date1904 = false;
    if (!readWorkbook(package.part(workbook), workbook, &entries, &date1904, &error))
        return ImportReadResult::failure(error);
    const auto relationships = readRelationships(package, workbook, &error);
    if (!relationships)
        return ImportReadResult::failure(error);

    XlsxSharedStrings strings;
    const QString stringsPart = relationships->byType.value(QStringLiteral("sharedStrings"));
    if (!strings.read(package.part(stringsPart)))
        return ImportReadResult::failure(strings.error());
    XlsxCellStyles styles;
    if (!styles.read(package.part(relationships->byType.value(QStringLiteral("styles")))))
        return ImportReadResult::failure(styles.error());

    ImportWorkbook result;
    result.kind = QStringLiteral("Excel-Arbeitsmappe");
    const XlsxSheetReader::Context context{strings, styles, date1904};
    qint64 cells = 0;
    for (const SheetEntry& entry : std::as_const(entries)) {
        const QString part = relationships->byId.value(entry.relationship);
        const QByteArray xml = package.part(part);
        if (!isWorksheet(xml))
            continue; // a chart sheet or a missing part holds no rows
        SheetBuilder builder(entry.name, cells);
        builder.setHidden(entry.hidden);
        if (!XlsxSheetReader::read(xml, part, context, builder, &error))
            return ImportReadResult::failure(error);
        auto sheet = builder.finish();
        if (!sheet)
            return ImportReadResult::failure(builder.error());
        cells = builder.cellCount();
        result.sheets.append(std::move(*sheet));
    }
    if (result.sheets.isEmpty())
        return ImportReadResult::failure(
            QStringLiteral("Die Arbeitsmappe hat kein Tabellenblatt."));
    return {result, {}};
}

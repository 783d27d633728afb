#include "OfficeTemplates.h"

#include "output/ZipPackage.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace OfficeTemplates {

QByteArray wordTemplate(const QString& sourceDir) {
    const QDir source(sourceDir + QStringLiteral("/resources/word-template"));
    ZipPackage package;
    QDirIterator it(source.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            package.setPart(source.relativeFilePath(file.fileName()), file.readAll());
    }
    return package.toBytes().value_or(QByteArray());
}

QByteArray excelTemplate(int sheets) {
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    QByteArray types = head +
                       "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                       "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
                       "vnd.openxmlformats-package.relationships+xml\"/><Default "
                       "Extension=\"xml\" ContentType=\"application/xml\"/>"
                       "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
                       "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                       "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
                       "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                       "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
                       "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/>"
                       "<Override PartName=\"/docProps/core.xml\" ContentType=\"application/"
                       "vnd.openxmlformats-package.core-properties+xml\"/>";
    QByteArray workbook =
        head + "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel + "\"><sheets>";
    QByteArray workbookRels = head + "<Relationships xmlns=\"http://schemas.openxmlformats.org/"
                                     "package/2006/relationships\">";
    ZipPackage package;
    for (int i = 1; i <= sheets; ++i) {
        const QByteArray n = QByteArray::number(i);
        types += "<Override PartName=\"/xl/worksheets/sheet" + n +
                 ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
                 "spreadsheetml.worksheet+xml\"/>";
        workbook += "<sheet name=\"Alt" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        workbookRels += "<Relationship Id=\"rId" + n +
                        "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                        "relationships/worksheet\" Target=\"worksheets/sheet" +
                        n + ".xml\"/>";
        package.setPart(QStringLiteral("xl/worksheets/sheet%1.xml").arg(i),
                        head + "<worksheet xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                            "\"><dimension ref=\"A1:B1\"/><sheetViews><sheetView "
                            "workbookViewId=\"0\"/></sheetViews><cols><col min=\"1\" max=\"1\" "
                            "width=\"50\" customWidth=\"1\"/></cols><sheetData><row r=\"1\"><c "
                            "r=\"A1\" t=\"inlineStr\"><is><t>alt " +
                            n +
                            "</t></is></c><c r=\"B1\"><f>1+1</f><v>2</v></c></row></sheetData>"
                            "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
                            "header=\"0.3\" footer=\"0.3\"/></worksheet>");
    }
    workbook += "</sheets></workbook>";
    workbookRels += "<Relationship Id=\"rId100\" Type=\"http://schemas.openxmlformats.org/"
                    "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
                    "<Relationship Id=\"rId101\" Type=\"http://schemas.openxmlformats.org/"
                    "officeDocument/2006/relationships/calcChain\" Target=\"calcChain.xml\"/>"
                    "</Relationships>";
    types += "</Types>";
    package.setPart(QStringLiteral("[Content_Types].xml"), types);
    package.setPart(QStringLiteral("_rels/.rels"),
                    head + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                           "relationships\"><Relationship Id=\"rId1\" Type=\"http://"
                           "schemas.openxmlformats.org/officeDocument/2006/relationships/"
                           "officeDocument\" Target=\"xl/workbook.xml\"/><Relationship "
                           "Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/"
                           "relationships/metadata/core-properties\" "
                           "Target=\"docProps/core.xml\"/></Relationships>");
    package.setPart(QStringLiteral("xl/workbook.xml"), workbook);
    package.setPart(QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRels);
    package.setPart(
        QStringLiteral("xl/styles.xml"),
        head + "<styleSheet xmlns=\"" + main +
            "\"><fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font><font><i/>"
            "<sz val=\"9\"/><name val=\"Calibri\"/></font></fonts><fills count=\"1\"><fill>"
            "<patternFill patternType=\"none\"/></fill></fills><borders count=\"1\"><border>"
            "<left/><right/><top/><bottom/><diagonal/></border></borders><cellStyleXfs "
            "count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
            "</cellStyleXfs><cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
            "borderId=\"0\" xfId=\"0\"/></cellXfs><cellStyles count=\"1\"><cellStyle "
            "name=\"Vorlagenstil\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>");
    package.setPart(QStringLiteral("xl/calcChain.xml"),
                    head + "<calcChain xmlns=\"" + main + "\"><c r=\"B1\" i=\"1\"/></calcChain>");
    package.setPart(QStringLiteral("docProps/core.xml"),
                    head + "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/"
                           "package/2006/metadata/core-properties\" xmlns:dc=\"http://purl.org/"
                           "dc/elements/1.1/\"><dc:title>Vorlagentitel</dc:title><dc:creator>"
                           "Verein</dc:creator></cp:coreProperties>");
    return package.toBytes().value_or(QByteArray());
}

bool writeFile(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace OfficeTemplates

#include "mock/SpreadsheetFiles.h"

#include "output/ZipPackage.h"

#include <QStringList>

namespace SpreadsheetFiles {

QString worksheet(const QString& sheetData, const QString& cols, const QString& after) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                          "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                          "2006/main\">%1<sheetData>%2</sheetData>%3</worksheet>")
        .arg(cols, sheetData, after);
}

QString sharedStrings(const QStringList& items) {
    QString xml = QStringLiteral("<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                                 "2006/main\">");
    for (const QString& item : items)
        xml += QStringLiteral("<si>%1</si>").arg(item);
    return xml + QStringLiteral("</sst>");
}

QByteArray xlsx(const Xlsx& parts) {
    const QString ns =
        QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    ZipPackage package;
    package.setPart("_rels/.rels",
                    QStringLiteral("<Relationships><Relationship Id=\"rId1\" Type=\"%1/"
                                   "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>")
                        .arg(ns)
                        .toUtf8());
    package.setPart("xl/workbook.xml",
                    QStringLiteral("<workbook xmlns:r=\"%1\"><workbookPr %2/><sheets>"
                                   "<sheet name=\"Tabelle1\" sheetId=\"1\" r:id=\"rId1\"/>"
                                   "</sheets></workbook>")
                        .arg(ns, parts.workbookPr)
                        .toUtf8());
    QString relationships =
        QStringLiteral("<Relationships><Relationship Id=\"rId1\" Type=\"%1/worksheet\" "
                       "Target=\"worksheets/sheet1.xml\"/>");
    if (!parts.sharedStrings.isEmpty())
        relationships += QStringLiteral("<Relationship Id=\"rId2\" Type=\"%1/sharedStrings\" "
                                        "Target=\"sharedStrings.xml\"/>");
    if (!parts.styles.isEmpty())
        relationships += QStringLiteral("<Relationship Id=\"rId3\" Type=\"%1/styles\" "
                                        "Target=\"/xl/styles.xml\"/>");
    package.setPart("xl/_rels/workbook.xml.rels",
                    (relationships + QStringLiteral("</Relationships>")).arg(ns).toUtf8());
    package.setPart("xl/worksheets/sheet1.xml", parts.worksheet.toUtf8());
    if (!parts.sharedStrings.isEmpty())
        package.setPart("xl/sharedStrings.xml", parts.sharedStrings.toUtf8());
    if (!parts.styles.isEmpty())
        package.setPart("xl/styles.xml", parts.styles.toUtf8());
    return package.toBytes().value_or(QByteArray());
}

QByteArray ods(const QString& tables) {
    ZipPackage package;
    package.setPart("mimetype", "application/vnd.oasis.opendocument.spreadsheet");
    package.setPart(
        "content.xml",
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
            "<office:spreadsheet>%1</office:spreadsheet></office:body></office:document-content>")
            .arg(tables)
            .toUtf8());
    return package.toBytes().value_or(QByteArray());
}

} // namespace SpreadsheetFiles

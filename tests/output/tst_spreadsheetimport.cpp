#include "mock/SpreadsheetFiles.h"
#include "output/registration/RegistrationFileReader.h"

#include <QTest>

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(VELMORA_TEST_DATA "/import/") + QLatin1String(name);
}

QStringList shown(const ImportWorkbook::Sheet& sheet) {
    QStringList rows;
    for (const ImportWorkbook::Row& row : sheet.rows)
        rows.append(QStringLiteral("%1: %2").arg(row.line).arg(row.cells.join(u'|')));
    return rows;
}

// The first sheet of a file read from bytes, or the error as its only row.
QStringList firstSheet(const QByteArray& bytes, const char* name) {
    const ImportReadResult result = RegistrationFileReader::readBytes(bytes, name);
    if (!result.ok())
        return {result.error};
    return shown(result.workbook->sheets.value(0));
}

QString xlsxCell(const QString& cellXml, const QString& styles = QString(),
                 const QString& workbookPr = QString()) {
    SpreadsheetFiles::Xlsx parts;
    parts.worksheet = SpreadsheetFiles::worksheet("<row r=\"2\">" + cellXml + "</row>");
    parts.sharedStrings = SpreadsheetFiles::sharedStrings(
        {"<t>geteilt</t>", "<r><t>Mül</t></r><r><rPr/><t>ler</t></r><rPh><t>ミュ</t></rPh>"});
    parts.styles = styles;
    parts.workbookPr = workbookPr;
    const ImportReadResult result =
        RegistrationFileReader::readBytes(SpreadsheetFiles::xlsx(parts), "zelle.xlsx");
    if (!result.ok())
        return result.error.section(u'\n', -1);
    return result.workbook->sheets.value(0).rows.value(0).cells.value(
        -1 + result.workbook->sheets.value(0).columnCount);
}

const QString kDateStyles = QStringLiteral(
    "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"dd\\.mm\\.yyyy\"/>"
    "<numFmt numFmtId=\"165\" formatCode=\"[$-407]0.00 &quot;Tage&quot;\"/></numFmts>"
    "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"22\"/>"
    "<xf numFmtId=\"165\"/><xf numFmtId=\"20\"/></cellXfs></styleSheet>");

} // namespace

// Excel and LibreOffice files as the operator sees them in the office program: the shown
// texts, whole numbers without decimals, dates as dates, each row under its row number.
class TestSpreadsheetImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsWhatLibreOfficeWrote_data();
    void readsWhatLibreOfficeWrote();
    void xlsxCellTexts_data();
    void xlsxCellTexts();
    void odsRepeatsAndTexts();
    void odsFilledToTheLastRowStaysSmall();
    void mergedCellsHoldForEveryRow_data();
    void mergedCellsHoldForEveryRow();
    void nameAndContentDisagree_data();
    void nameAndContentDisagree();
};

void TestSpreadsheetImport::readsWhatLibreOfficeWrote_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    QTest::newRow("xlsx") << dataFile("anmeldung.xlsx") << "Excel-Arbeitsmappe";
    QTest::newRow("ods") << dataFile("anmeldung.ods") << "LibreOffice-Tabelle";
}

void TestSpreadsheetImport::readsWhatLibreOfficeWrote() {
    QFETCH(QString, file);
    QFETCH(QString, kind);
    const ImportReadResult result = RegistrationFileReader::readFile(file);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.workbook->kind, kind);
    QCOMPARE(result.workbook->notice, QString());
    QCOMPARE(result.workbook->sheets.size(), 2);
    const ImportWorkbook::Sheet& list = result.workbook->sheets.at(0);
    QCOMPARE(list.name, QStringLiteral("Meldeliste"));
    // The title merged over four columns sits in the first; the hidden column is still read.
    QCOMPARE(shown(list),
             QStringList(
                 {"1: Meldeliste Rutschen-Cup 2024||||||||",
                  "3: Startnummer|Nachname|Vorname|Verein|Klasse|Geburtsdatum|Meister|"
                  "Bemerkung|Beitrag",
                  "4: 7|Müller|Anna|SV Süd|Damen|03.05.2010|x|bezahlt|12.5",
                  "5: 12|Ölschläger|Jörg|TV  Nord\nAbteilung Rutschen|Herren|31.12.1985|||10",
                  "6: 13|Klein|Lena|SV Süd|Kinder|29.02.2016|ja||", "9: |Ohne|Nummer|Gast|2||||"}));
    QCOMPARE(list.hiddenColumns, QSet<int>{7});
    QCOMPARE(result.workbook->sheets.at(1).name, QStringLiteral("Nachmeldungen"));
    QCOMPARE(shown(result.workbook->sheets.at(1)),
             QStringList({"1: Nr.|Name|Vorname|Verein/Ort|Kl.", "2: 40|Spät|Paul|Gästehaus|3"}));
}

void TestSpreadsheetImport::xlsxCellTexts_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("styles");
    QTest::addColumn<QString>("workbookPr");
    QTest::addColumn<QString>("text");
    const QString none;
    QTest::newRow("shared") << "<c r=\"A2\" t=\"s\"><v>0</v></c>" << none << none << "geteilt";
    QTest::newRow("shared rich text without phonetics")
        << "<c r=\"A2\" t=\"s\"><v>1</v></c>" << none << none << "Müller";
    QTest::newRow("inline rich text")
        << "<c r=\"A2\" t=\"inlineStr\"><is><r><t>SV </t></r><r><t>Süd</t></r></is></c>" << none
        << none << "SV Süd";
    QTest::newRow("whole number") << "<c r=\"A2\"><v>7</v></c>" << none << none << "7";
    QTest::newRow("whole number written as float")
        << "<c r=\"A2\" t=\"n\"><v>7.0000000000000009</v></c>" << none << none << "7";
    QTest::newRow("decimal") << "<c r=\"A2\"><v>12.5</v></c>" << none << none << "12.5";
    QTest::newRow("date style") << "<c r=\"A2\" s=\"1\"><v>40301</v></c>" << kDateStyles << none
                                << "03.05.2010";
    QTest::newRow("date before March 1900")
        << "<c r=\"A2\" s=\"1\"><v>59</v></c>" << kDateStyles << none << "28.02.1900";
    QTest::newRow("date in the 1904 system")
        << "<c r=\"A2\" s=\"1\"><v>38839</v></c>" << kDateStyles << "date1904=\"1\""
        << "03.05.2010";
    QTest::newRow("date and time")
        << "<c r=\"A2\" s=\"2\"><v>40301.75</v></c>" << kDateStyles << none << "03.05.2010 18:00";
    QTest::newRow("number with quoted text is no date")
        << "<c r=\"A2\" s=\"3\"><v>2</v></c>" << kDateStyles << none << "2";
    QTest::newRow("time") << "<c r=\"A2\" s=\"4\"><v>0.5</v></c>" << kDateStyles << none
                          << "12:00:00";
    QTest::newRow("ISO date cell")
        << "<c r=\"A2\" t=\"d\"><v>2010-05-03T00:00:00</v></c>" << none << none << "03.05.2010";
    QTest::newRow("boolean") << "<c r=\"A2\" t=\"b\"><v>1</v></c>" << none << none << "WAHR";
    QTest::newRow("formula result")
        << "<c r=\"A2\" t=\"str\"><f>A1&amp;\"x\"</f><v>Ax</v></c>" << none << none << "Ax";
    QTest::newRow("position from the reference")
        << "<c r=\"C2\"><v>3</v></c>" << none << none << "3";
    QTest::newRow("shared text that is not there")
        << "<c r=\"A2\" t=\"s\"><v>9</v></c>" << none << none
        << "Der Teil xl/worksheets/sheet1.xml ist fehlerhaft (Zeile 1: Zelle A2 verweist auf den "
           "Text Nr. 9, den es nicht gibt).";
}

void TestSpreadsheetImport::xlsxCellTexts() {
    QFETCH(QString, cell);
    QFETCH(QString, styles);
    QFETCH(QString, workbookPr);
    QFETCH(QString, text);
    QCOMPARE(xlsxCell(cell, styles, workbookPr), text);
}

void TestSpreadsheetImport::odsRepeatsAndTexts() {
    const QByteArray file = SpreadsheetFiles::ods(
        "<table:table table:name=\"Liste\"><table:table-row>"
        "<table:table-cell table:number-columns-repeated=\"2\" office:value-type=\"string\">"
        "<text:p>x</text:p></table:table-cell>"
        "<table:table-cell><text:p>A<text:s text:c=\"2\"/>B<text:tab/>C</text:p></table:table-cell>"
        "</table:table-row>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
        "office:value-type=\"float\" office:value=\"3\"><text:p>3,00</text:p></table:table-cell>"
        "</table:table-row></table:table>");
    QCOMPARE(firstSheet(file, "liste.ods"), QStringList({"1: x|x|A  B\tC", "2: 3||", "3: 3||"}));
}

void TestSpreadsheetImport::odsFilledToTheLastRowStaysSmall() {
    const QByteArray file = SpreadsheetFiles::ods(
        "<table:table table:name=\"Liste\"><table:table-row><table:table-cell><text:p>Meier"
        "</text:p></table:table-cell><table:table-cell table:number-columns-repeated=\"16383\"/>"
        "</table:table-row><table:table-row table:number-rows-repeated=\"1048575\">"
        "<table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>"
        "</table:table>");
    QCOMPARE(firstSheet(file, "liste.ods"), QStringList{"1: Meier"});
}

void TestSpreadsheetImport::mergedCellsHoldForEveryRow_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("name");
    // Column B written once over rows 2 to 4; the last text merged over an otherwise empty row.
    const auto c = [](const char* at, int value) {
        return QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(at).arg(value);
    };
    const auto xlsxRow = [](int line, const QString& cells) {
        return QStringLiteral("<row r=\"%1\">%2</row>").arg(line).arg(cells);
    };
    SpreadsheetFiles::Xlsx xlsx;
    xlsx.worksheet = SpreadsheetFiles::worksheet(
        xlsxRow(2, c("A2", 2) + c("B2", 9)) + xlsxRow(3, c("A3", 3)) + xlsxRow(4, c("A4", 4)) +
            xlsxRow(5, c("A5", 5) + c("B5", 8)) + xlsxRow(7, c("A7", 7)),
        QString(), "<mergeCells><mergeCell ref=\"B2:B4\"/><mergeCell ref=\"A7:B8\"/></mergeCells>");
    QTest::newRow("xlsx") << SpreadsheetFiles::xlsx(xlsx) << "liste.xlsx";

    const auto cell = [](int value, const QString& spans = QString()) {
        return QStringLiteral("<table:table-cell %1><text:p>%2</text:p></table:table-cell>")
            .arg(spans)
            .arg(value);
    };
    const QString covered = QStringLiteral("<table:covered-table-cell/>");
    const QString rows = "<row/>" + cell(2) + cell(9, "table:number-rows-spanned=\"3\"") +
                         "<row/>" + cell(3) + covered + "<row/>" + cell(4) + covered + "<row/>" +
                         cell(5) + cell(8) + "<row/><row/>" +
                         cell(7, "table:number-rows-spanned=\"2\"") + "<row/>" + covered;
    QTest::newRow("ods") << SpreadsheetFiles::ods(
                                "<table:table table:name=\"L\"><table:table-row>" +
                                QString(rows).replace("<row/>",
                                                      "</table:table-row><table:table-row>") +
                                "</table:table-row></table:table>")
                         << "liste.ods";
}

void TestSpreadsheetImport::mergedCellsHoldForEveryRow() {
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    QCOMPARE(firstSheet(file, qPrintable(name)),
             QStringList({"2: 2|9", "3: 3|9", "4: 4|9", "5: 5|8", "7: 7|"}));
}

void TestSpreadsheetImport::nameAndContentDisagree_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("notice");
    const QByteArray text("Nr;Name\n1;Meier\n");
    QTest::newRow("text named xlsx") << text << "liste.xlsx"
                                     << "Die Endung „.xlsx“ passt nicht zum Inhalt; gelesen als "
                                        "Text mit Trennzeichen „;“, UTF-8.";
    QTest::newRow("ods named xlsx")
        << SpreadsheetFiles::ods("<table:table table:name=\"A\"><table:table-row><table:table-cell>"
                                 "<text:p>x</text:p></table:table-cell></table:table-row>"
                                 "</table:table>")
        << "liste.xlsx"
        << "Die Endung „.xlsx“ passt nicht zum Inhalt; gelesen als LibreOffice-Tabelle.";
    QTest::newRow("text named csv") << text << "liste.csv"
                                    << "";
    QTest::newRow("unknown ending") << text << "liste.dat"
                                    << "";
}

void TestSpreadsheetImport::nameAndContentDisagree() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, notice);
    const ImportReadResult result = RegistrationFileReader::readBytes(bytes, name);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.workbook->notice, notice);
}

QTEST_MAIN(TestSpreadsheetImport)
#include "tst_spreadsheetimport.moc"

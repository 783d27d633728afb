#include "mock/SpreadsheetFiles.h"
#include "output/ZipPackage.h"
#include "output/registration/ImportLimits.h"
#include "output/registration/RegistrationFileReader.h"
#include "output/registration/ZipExpansionGuard.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// The highest resident memory of this process so far, in MB.
long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

QByteArray deeplyNested(int depth) {
    QByteArray xml = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is>";
    for (int i = 0; i < depth; ++i)
        xml += "<r>";
    for (int i = 0; i < depth; ++i)
        xml += "</r>";
    return xml + "</is></c></row></sheetData></worksheet>";
}

QByteArray xlsxWith(const QString& worksheet, const QString& sharedStrings = QString()) {
    SpreadsheetFiles::Xlsx parts;
    parts.worksheet = worksheet;
    parts.sharedStrings = sharedStrings;
    return SpreadsheetFiles::xlsx(parts);
}

QByteArray hugeSharedStrings() {
    QString items;
    items.reserve((ImportLimits::kMaxSharedStrings + 1) * 16);
    for (int i = 0; i <= ImportLimits::kMaxSharedStrings; ++i)
        items += QStringLiteral("<si><t>x</t></si>");
    return xlsxWith(SpreadsheetFiles::worksheet(QString()),
                    QStringLiteral("<sst>%1</sst>").arg(items));
}

// A zip of one entry of that many blanks, as honest about its size as libzip makes it.
QByteArray blanksZip(int bytes) {
    ZipPackage package;
    package.setPart("blanks", QByteArray(bytes, ' '));
    return package.toBytes().value_or(QByteArray());
}

} // namespace

// Files made to hurt: each is refused with a message the operator understands, quickly, and
// without the program's memory growing with what the file pretends to hold.
class TestHostileImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusedWithAReason_data();
    void refusedWithAReason();
    void rowsInAnyOrderAreReadQuickly();
    void zipBombStaysSmall();
    void guardCountsWhatComesOut();
    void notARegularFile();
};

void TestHostileImport::refusedWithAReason_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("old Excel format")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + QByteArray(512, '\0')) << "liste.xls"
        << "Sie ist im alten Office-Format (.xls). Bitte in Excel oder LibreOffice als .xlsx oder "
           ".ods speichern und diese Datei importieren.";
    QTest::newRow("empty file") << QByteArray() << "liste.csv"
                                << "Sie enthält keine ausgefüllte Zelle.";
    QTest::newRow("PDF named csv") << QByteArray("%PDF-1.4\n%\xE2\xE3\n") << "liste.csv"
                                   << "Sie ist ein PDF-Dokument, keine Tabelle.";
    QTest::newRow("picture named csv")
        << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10", 24) << "liste.csv"
        << "Sie ist weder eine Tabelle noch eine Textdatei.";
    QTest::newRow("truncated workbook")
        << QByteArray("PK\x03\x04\x14\0\0\0\x08\0", 10) << "liste.xlsx"
        << "Das Zip-Archiv ist beschädigt.";
    QTest::newRow("Word document") <<
        [] {
            ZipPackage word;
            word.setPart("word/document.xml", "<w:document/>");
            return word.toBytes().value_or(QByteArray());
        }() << "liste.xlsx"
                                   << "Sie ist ein Word-Dokument, keine Tabelle.";
    QTest::newRow("deeply nested XML")
        << xlsxWith(QString::fromLatin1(deeplyNested(100000))) << "liste.xlsx"
        << "Der Teil xl/worksheets/sheet1.xml ist fehlerhaft (Zeile 1: zu tief verschachtelt).";
    QTest::newRow("entities declared in a DTD")
        << xlsxWith(
               SpreadsheetFiles::worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"),
               "<!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
               "<sst><si><t>&b;&b;&b;</t></si></sst>")
        << "liste.xlsx"
        << "Der Teil sharedStrings.xml ist fehlerhaft (Zeile 1: enthält eine "
           "Dokumenttyp-Deklaration).";
    QTest::newRow("huge shared strings table")
        << hugeSharedStrings() << "liste.xlsx"
        << "Der Teil xl/sharedStrings.xml wäre entpackt mehr als 100-mal so groß wie gepackt.";
    QTest::newRow("content far to the right")
        << xlsxWith(SpreadsheetFiles::worksheet("<row r=\"1\"><c r=\"ZZ1\"><v>1</v></c></row>"))
        << "liste.xlsx"
        << "Das Blatt „Tabelle1“ hat Inhalt jenseits der ersten 256 Spalten.";
    QTest::newRow("sheet cut off")
        << xlsxWith("<worksheet><sheetData><row r=\"1\">") << "liste.xlsx"
        << "Der Teil xl/worksheets/sheet1.xml ist fehlerhaft (Zeile 1: Premature end of document).";
    QTest::newRow("merged ranges laid over each other")
        <<
        [] {
            QString rows;
            for (int line = 1; line <= 30000; ++line)
                rows += QStringLiteral("<row r=\"%1\"><c r=\"A%1\"><v>%1</v></c></row>").arg(line);
            const QString merges = QStringLiteral("<mergeCell ref=\"A1:A30000\"/>").repeated(70);
            return xlsxWith(SpreadsheetFiles::worksheet(rows, QString(),
                                                        "<mergeCells>" + merges + "</mergeCells>"));
        }()
        << "liste.xlsx"
        << "Die Datei hat mehr als 2000000 gefüllte Zellen.";
    QTest::newRow("ods row repeated with content")
        << SpreadsheetFiles::ods("<table:table table:name=\"T\"><table:table-row "
                                 "table:number-rows-repeated=\"1048576\"><table:table-cell>"
                                 "<text:p>x</text:p></table:table-cell></table:table-row>"
                                 "</table:table>")
        << "liste.ods"
        << "Das Blatt „T“ hat mehr als 100000 gefüllte Zeilen.";
}

void TestHostileImport::refusedWithAReason() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QElapsedTimer clock;
    clock.start();
    const ImportReadResult result = RegistrationFileReader::readBytes(bytes, name);
    QVERIFY(!result.ok());
    QCOMPARE(result.error,
             QStringLiteral("Die Datei „%1“ kann nicht importiert werden.\n%2").arg(name, reason));
    QVERIFY2(clock.elapsed() < 20000, "the refusal took too long");
}

void TestHostileImport::rowsInAnyOrderAreReadQuickly() {
    // From both ends towards the middle: every row belongs between two rows already read.
    QString outsideIn;
    const auto row = [](int line) {
        return QStringLiteral("<row r=\"%1\"><c r=\"A%1\"><v>%1</v></c></row>").arg(line);
    };
    for (int low = 1, high = ImportLimits::kMaxRows; low < high; ++low, --high)
        outsideIn += row(low) + row(high);
    const QByteArray bytes = xlsxWith(SpreadsheetFiles::worksheet(outsideIn));
    const std::clock_t start = std::clock();
    const ImportReadResult result = RegistrationFileReader::readBytes(bytes, "liste.xlsx");
    QVERIFY2(result.ok(), qPrintable(result.error));
    const ImportWorkbook::Sheet& sheet = result.workbook->sheets.first();
    QCOMPARE(sheet.rows.size(), ImportLimits::kMaxRows);
    QCOMPARE(sheet.rows.at(1).line, 2);
    QCOMPARE(sheet.rows.at(1).cells, QStringList{"2"});
    QCOMPARE(sheet.rows.last().line, ImportLimits::kMaxRows);
    // Processor time, so a busy machine does not count: a row list kept sorted while it is
    // read moves half of it for each such row and takes seconds.
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    QVERIFY2(seconds < 2.5, qPrintable(QString::number(seconds)));
}

void TestHostileImport::zipBombStaysSmall() {
    const long before = peakMegabytes();
    const ImportReadResult result =
        RegistrationFileReader::readFile(QStringLiteral(VELMORA_TEST_DATA "/import/zipbomb.xlsx"));
    QVERIFY(!result.ok());
    QVERIFY2(result.error.endsWith(
                 QStringLiteral("Die Datei entpackt sich zu mehr als 64 MB; so groß ist keine "
                                "Teilnehmerliste.")),
             qPrintable(result.error));
    // It unpacks to 200 MB; none of that may stay in memory.
    QVERIFY2(peakMegabytes() - before < 32, qPrintable(QString::number(peakMegabytes() - before)));
}

void TestHostileImport::guardCountsWhatComesOut() {
    const QByteArray zip = blanksZip(300000);
    QCOMPARE(ZipExpansionGuard::check(zip, 300000, 10), std::nullopt);
    QVERIFY(ZipExpansionGuard::check(zip, 299999, 10).has_value());
    QCOMPARE(ZipExpansionGuard::check(zip, 300000, 0),
             std::optional<QString>(QStringLiteral("Das Zip-Archiv hat mehr als 0 Teile.")));
}

void TestHostileImport::notARegularFile() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("liste.csv");
    QCOMPARE(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const ImportReadResult result = RegistrationFileReader::readFile(fifo);
    QCOMPARE(result.error, QStringLiteral("Die Datei „liste.csv“ kann nicht importiert werden.\n"
                                          "Das ist keine gewöhnliche Datei."));
}

QTEST_MAIN(TestHostileImport)
#include "tst_hostileimport.moc"

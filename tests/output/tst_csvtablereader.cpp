#include "output/registration/CsvTableReader.h"

#include <QTest>

namespace {

// Each row as "line: cell|cell|...", so a table reads at a glance.
QStringList shown(const ImportReadResult& result) {
    QStringList rows;
    if (!result.ok())
        return {result.error};
    for (const ImportWorkbook::Row& row : result.workbook->sheets.value(0).rows)
        rows.append(QStringLiteral("%1: %2").arg(row.line).arg(row.cells.join(u'|')));
    return rows;
}

} // namespace

// Delimited text files from clubs: the separator, quoting and encoding found without asking,
// and every row under the line the operator sees it on in an editor.
class TestCsvTableReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsRows_data();
    void readsRows();
    void describesWhatItFound_data();
    void describesWhatItFound();
    void refusesBinaryData();
};

void TestCsvTableReader::readsRows_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("semicolon") << QByteArray("Nr;Name\r\n7;Meier\r\n")
                               << QStringList{"1: Nr|Name", "2: 7|Meier"};
    QTest::newRow("comma, decimals quoted")
        << QByteArray("Nr,Name,Beitrag\n7,Meier,\"12,50\"\n8,Kunz,\"3,00\"\n")
        << QStringList{"1: Nr|Name|Beitrag", "2: 7|Meier|12,50", "3: 8|Kunz|3,00"};
    QTest::newRow("tab keeps blanks inside and empty cells")
        << QByteArray("Nr\tName\tVorname\n7\tvon Berg\t\n")
        << QStringList{"1: Nr|Name|Vorname", "2: 7|von Berg|"};
    QTest::newRow("semicolon wins over commas in names")
        << QByteArray("Nr;Name\n1;Meier, Hans\n2;Kunz, Eva\n3;Ohne\n")
        << QStringList{"1: Nr|Name", "2: 1|Meier, Hans", "3: 2|Kunz, Eva", "4: 3|Ohne"};
    QTest::newRow("quotes and separators in quoted cells")
        << QByteArray("Name;Verein\n\"Meier; Hans\";\"SV \"\"Blau\"\"\"\n")
        << QStringList{"1: Name|Verein", "2: Meier; Hans|SV \"Blau\""};
    QTest::newRow("line break in a cell counts its lines")
        << QByteArray("Name;Verein\r\nMeier;\"TV Nord\r\nAbteilung\"\r\nKunz;SV\r\n")
        << QStringList{"1: Name|Verein", "2: Meier|TV Nord\r\nAbteilung", "4: Kunz|SV"};
    QTest::newRow("empty lines are skipped, not renumbered")
        << QByteArray("Name\n\nMeier\n;;\n\r\nKunz")
        << QStringList{"1: Name", "3: Meier", "6: Kunz"};
    QTest::newRow("UTF-8") << QByteArray("Name\nM\xC3\xBCller\n")
                           << QStringList{"1: Name", "2: Müller"};
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFName;Ort\nM\xC3\xBCller;S\xC3\xBC"
                                                  "d\n")
                                    << QStringList{"1: Name|Ort", "2: Müller|Süd"};
    QTest::newRow("Windows-1252") << QByteArray("Name;Ort\nM\xFCller;\x80 \x96 Stra\xDF"
                                                "e\n")
                                  << QStringList{"1: Name|Ort", "2: Müller|€ – Straße"};
    QTest::newRow("UTF-16 from Excel's Unicode text")
        << QByteArray("\xFF\xFEN\0r\0\t\0N\0a\0m\0e\0\r\0\n\0"
                      "7\0\t\0M\0\xFC\0\r\0\n\0",
                      30)
        << QStringList{"1: Nr|Name", "2: 7|Mü"};
    QTest::newRow("ragged rows are padded")
        << QByteArray("a;b;c\nd\n") << QStringList{"1: a|b|c", "2: d||"};
    QTest::newRow("unclosed quote takes the rest")
        << QByteArray("Name;Ort\nMeier;\"SV\nKunz;TV\n")
        << QStringList{"1: Name|Ort", "2: Meier|SV\nKunz;TV\n"};
}

void TestCsvTableReader::readsRows() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    QCOMPARE(shown(CsvTableReader::read(bytes, "Liste")), rows);
}

void TestCsvTableReader::describesWhatItFound_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");
    QTest::newRow("semicolon, UTF-8")
        << QByteArray("a;b\nc;d\n") << "Text mit Trennzeichen „;“, UTF-8";
    QTest::newRow("tab, Windows-1252")
        << QByteArray("a\tb\n\xE4\tc\n") << "Text mit Trennzeichen Tabulator, Windows-1252";
    QTest::newRow("comma, BOM") << QByteArray("\xEF\xBB\xBF"
                                              "a,b\n")
                                << "Text mit Trennzeichen „,“, UTF-8 mit BOM";
}

void TestCsvTableReader::describesWhatItFound() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    const ImportReadResult result = CsvTableReader::read(bytes, "Liste");
    QVERIFY(result.ok());
    QCOMPARE(result.workbook->kind, kind);
    QCOMPARE(result.workbook->sheets.value(0).name, QStringLiteral("Liste"));
}

void TestCsvTableReader::refusesBinaryData() {
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919) % 251);
    const ImportReadResult result = CsvTableReader::read(noise, "Liste");
    QVERIFY(!result.ok());
    QCOMPARE(result.error, QStringLiteral("Sie ist weder eine Tabelle noch eine Textdatei."));
}

QTEST_MAIN(TestCsvTableReader)
#include "tst_csvtablereader.moc"

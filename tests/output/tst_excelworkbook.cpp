#include "competition/Competition.h"
#include "mock/FaultyFileSystem.h"
#include "mock/OfficeReader.h"
#include "mock/OfficeTemplates.h"
#include "output/ExcelTemplate.h"
#include "output/ExcelWorkbook.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

// The Excel protocol read back from the written file, new and from a template.
class TestExcelWorkbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void sheetNamesAndCells_data();
    void sheetNamesAndCells();
    void headerBoldAndWidthsFitted_data();
    void headerBoldAndWidthsFitted();
    void newWorkbookProperties();
    void templateKeepsItsOwnParts();
    void unusableTemplateWritesNothing_data();
    void unusableTemplateWritesNothing();
    void failedWriteKeepsOlderFile();
    void sheetNames_data();
    void sheetNames();

private:
    QList<ExcelWorkbook::Sheet> sheets() const;
    std::optional<OfficeReader> write(const std::optional<QString>& templatePath);

    QTemporaryDir m_dir;
    QString m_target;
    TimeFormat m_format{TimeFormat::Seconds, u','};
};

void TestExcelWorkbook::init() {
    m_target = m_dir.filePath(QStringLiteral("protokoll.xlsx"));
    QFile::remove(m_target);
}

QList<ExcelWorkbook::Sheet> TestExcelWorkbook::sheets() const {
    return {{QStringLiteral("Vorlauf-Startliste"),
             {{"Nr.", "Name", "Kl.", "Zeit1"},
              {"7", "Müller & <Söhne>", "2", "10,24"},
              {"12", "Straß", "1", "-"}}},
            {QStringLiteral("Vorlauf-Ergebnisse"), {{"Pl.", "Nr."}, {"1", "7"}}},
            {QStringLiteral("Endlauf-Startliste"), {{"Nr."}, {""}}},
            {QStringLiteral("Endlauf-Ergebnisse"), {{"Pl.", "Endzeit"}, {"1", "31,50"}}}};
}

std::optional<OfficeReader> TestExcelWorkbook::write(const std::optional<QString>& templatePath) {
    const FileWriteResult result = ExcelWorkbook::exportToExcel(
        templatePath, m_target, sheets(), {"Titel", "Velmora 1.7", "Autor"}, m_format);
    if (!result)
        qWarning() << result.message << result.reason;
    return result ? OfficeReader::open(m_target) : std::nullopt;
}

void TestExcelWorkbook::sheetNamesAndCells_data() {
    QTest::addColumn<bool>("fromTemplate");
    QTest::newRow("new workbook") << false;
    QTest::newRow("template") << true;
}

void TestExcelWorkbook::sheetNamesAndCells() {
    QFETCH(bool, fromTemplate);
    std::optional<QString> templatePath;
    if (fromTemplate) {
        templatePath = m_dir.filePath(QStringLiteral("Protokollvorlage.xlsx"));
        QVERIFY(OfficeTemplates::writeFile(*templatePath, OfficeTemplates::excelTemplate(5)));
    }
    const auto book = write(templatePath);
    QVERIFY(book);
    QVERIFY(book->allXmlWellFormed());
    const QList<OfficeReader::Sheet> read = book->sheets();
    QCOMPARE(read.size(), fromTemplate ? 5 : 4);
    const QStringList names{"Vorlauf-Startliste", "Vorlauf-Ergebnisse", "Endlauf-Startliste",
                            "Endlauf-Ergebnisse"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(read.at(i).name, names.at(i));
    const auto& first = read.at(0).cells;
    QCOMPARE(first.value("B2").value, QStringLiteral("Müller & <Söhne>"));
    QVERIFY(first.value("B2").type == u"s" || first.value("B2").type == u"inlineStr");
    QCOMPARE(first.value("B3").value, QStringLiteral("Straß"));
    QCOMPARE(first.value("A2").type, QString());
    QCOMPARE(first.value("A2").value.toDouble(), 7.0);
    QCOMPARE(first.value("D2").value.toDouble(), 10.24);
    QCOMPARE(book->styleNumberFormat(first.value("D2").style), 2);
    QVERIFY(first.value("D3").type == u"s" || first.value("D3").type == u"inlineStr");
    QCOMPARE(read.at(3).cells.value("B2").value.toDouble(), 31.5);
    // The old cells of the template are gone, not mixed with the table.
    QVERIFY(!first.contains("E1"));
    QCOMPARE(first.size(), 12);
}

void TestExcelWorkbook::headerBoldAndWidthsFitted_data() {
    QTest::addColumn<bool>("fromTemplate");
    QTest::newRow("new workbook") << false;
    QTest::newRow("template") << true;
}

void TestExcelWorkbook::headerBoldAndWidthsFitted() {
    QFETCH(bool, fromTemplate);
    std::optional<QString> templatePath;
    if (fromTemplate) {
        templatePath = m_dir.filePath(QStringLiteral("Protokollvorlage.xlsx"));
        QVERIFY(OfficeTemplates::writeFile(*templatePath, OfficeTemplates::excelTemplate(4)));
    }
    const auto book = write(templatePath);
    QVERIFY(book);
    const OfficeReader::Sheet first = book->sheets().at(0);
    for (const char* header : {"A1", "B1", "C1", "D1"})
        QVERIFY2(book->styleIsBold(first.cells.value(header).style), header);
    QVERIFY(!book->styleIsBold(first.cells.value("B2").style));
    // "Müller & <Söhne>" has 16 characters, "Zeit1" 5, "Kl." 3 (the minimum is 4).
    QVERIFY(qAbs(first.widths.value(2) - 17.5) < 1.0);
    QVERIFY(qAbs(first.widths.value(4) - 6.5) < 1.0);
    QVERIFY(qAbs(first.widths.value(3) - 4.5) < 1.0);
}

void TestExcelWorkbook::newWorkbookProperties() {
    const auto book = write(std::nullopt);
    QVERIFY(book);
    QCOMPARE(book->coreProperty("title"), QStringLiteral("Titel"));
    QCOMPARE(book->coreProperty("subject"), QStringLiteral("Velmora 1.7"));
    QCOMPARE(book->coreProperty("creator"), QStringLiteral("Autor"));
}

void TestExcelWorkbook::templateKeepsItsOwnParts() {
    const QString path = m_dir.filePath(QStringLiteral("Protokollvorlage.xlsx"));
    const QByteArray original = OfficeTemplates::excelTemplate(6);
    QVERIFY(OfficeTemplates::writeFile(path, original));
    const auto book = write(path);
    QVERIFY(book);
    const auto before = OfficeReader::fromBytes(original);
    QCOMPARE(book->package().part("docProps/core.xml"),
             before->package().part("docProps/core.xml"));
    QCOMPARE(book->coreProperty("title"), QStringLiteral("Vorlagentitel"));
    for (const char* extra : {"xl/worksheets/sheet5.xml", "xl/worksheets/sheet6.xml"})
        QCOMPARE(book->package().part(extra), before->package().part(extra));
    QCOMPARE(book->sheets().at(5).name, QStringLiteral("Alt6"));
    const QByteArray styles = book->package().part("xl/styles.xml");
    QVERIFY(styles.contains("name=\"Vorlagenstil\""));
    QVERIFY(styles.contains("<fonts count=\"3\">"));
    QVERIFY(styles.contains("<cellXfs count=\"3\">"));
    // The sheet's own setup stays; the calculation chain of the replaced formulas goes.
    QVERIFY(book->package().part("xl/worksheets/sheet1.xml").contains("<pageMargins"));
    QVERIFY(!book->package().contains("xl/calcChain.xml"));
    QVERIFY(!book->package().part("[Content_Types].xml").contains("calcChain"));
    QVERIFY(!book->package().part("xl/_rels/workbook.xml.rels").contains("calcChain"));
}

void TestExcelWorkbook::unusableTemplateWritesNothing_data() {
    QTest::addColumn<QByteArray>("templateBytes");
    QTest::addColumn<QString>("says");
    QTest::newRow("three sheets") << OfficeTemplates::excelTemplate(3)
                                  << "hat weniger als vier Tabellenblätter";
    QTest::newRow("one sheet") << OfficeTemplates::excelTemplate(1)
                               << "hat weniger als vier Tabellenblätter";
    QTest::newRow("no zip") << QByteArray("PK garbage") << "ist beschädigt";
    QTest::newRow("a Word document")
        << OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR) << "ist beschädigt";
    auto broken = ZipPackage::fromBytes(OfficeTemplates::excelTemplate(4));
    broken->setPart("xl/worksheets/sheet2.xml", "<worksheet><sheetData>");
    QTest::newRow("broken sheet") << *broken->toBytes() << "ist beschädigt";
    auto noStyles = ZipPackage::fromBytes(OfficeTemplates::excelTemplate(4));
    noStyles->removePart("xl/styles.xml");
    QTest::newRow("no styles") << *noStyles->toBytes() << "ist beschädigt";
}

void TestExcelWorkbook::unusableTemplateWritesNothing() {
    QFETCH(QByteArray, templateBytes);
    QFETCH(QString, says);
    const QString path = m_dir.filePath(QStringLiteral("Protokollvorlage.xlsx"));
    QVERIFY(OfficeTemplates::writeFile(path, templateBytes));
    const FileWriteResult result =
        ExcelWorkbook::exportToExcel(path, m_target, sheets(), {}, m_format);
    QVERIFY(!result);
    QVERIFY2(result.message.startsWith(QStringLiteral("Die Excelvorlage ") + path + u' ' + says),
             qPrintable(result.message));
    QVERIFY(!QFile::exists(m_target));
}

void TestExcelWorkbook::failedWriteKeepsOlderFile() {
    QVERIFY(OfficeTemplates::writeFile(m_target, "older"));
    FaultyFileSystem disk;
    disk.fail(FaultyFileSystem::Call::Rename, EIO);
    const FileWriteResult result =
        ExcelWorkbook::exportToExcel(std::nullopt, m_target, sheets(), {}, m_format, disk);
    QVERIFY(!result);
    QCOMPARE(result.message, QStringLiteral("Der Schreibfehler der Datei: ") + m_target);
    QFile older(m_target);
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("older"));
}

void TestExcelWorkbook::sheetNames_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("tab caption") << "      Vorlauf-Startliste"
                                 << "Vorlauf-Startliste";
    QTest::newRow("forbidden characters") << "a/b:c*d?[e]\\"
                                          << "a_b_c_d__e__";
    QTest::newRow("too long") << QString(40, u'x') << QString(31, u'x');
    QTest::newRow("empty") << "   "
                           << "Tabelle3";
    QTest::newRow("quotes around") << "'Endlauf'"
                                   << "Endlauf";
}

void TestExcelWorkbook::sheetNames() {
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QCOMPARE(ExcelWorkbook::sheetName(caption, 2), name);
}

QTEST_GUILESS_MAIN(TestExcelWorkbook)
#include "tst_excelworkbook.moc"

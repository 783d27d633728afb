#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"
#include "mock/FaultyFileSystem.h"
#include "mock/OfficeReader.h"
#include "mock/OfficeTemplates.h"
#include "output/WordDocument.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

// The Word protocol read back from the written file.
class TestWordDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void columnsPerPage_data();
    void columnsPerPage();
    void cellsInOrder();
    void templatePartsKept();
    void textComesOutAsUnicode_data();
    void textComesOutAsUnicode();
    void otherPrefixAndEmptyBody();
    void unusableTemplateWritesNothing_data();
    void unusableTemplateWritesNothing();
    void failedWriteKeepsOlderFile();
    void shippedTemplateIsUsable();
    void columnWidthsKeepNumbersWhole_data();
    void columnWidthsKeepNumbersWhole();

private:
    QString exportPage(int page, const QString& title = QStringLiteral("Titel"));

    QTemporaryDir m_dir;
    QString m_template;
    Competition m_competition{TimeFormat(TimeFormat::Seconds, u',')};
};

void TestWordDocument::init() {
    m_template = m_dir.filePath(QStringLiteral("Protokollvorlage.docx"));
    QVERIFY(
        OfficeTemplates::writeFile(m_template, OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR)));
    m_competition.writeDerivedHeaders();
    m_competition.writeHeatStartListHeader();
    RandomGenerator random(7);
    StageDerivation derivation(m_competition);
    RandomProtocol::generateRandomProtocol(m_competition, random, derivation);
}

QString TestWordDocument::exportPage(int page, const QString& title) {
    const QString target = m_dir.filePath(QStringLiteral("out%1.docx").arg(page));
    const FileWriteResult result =
        WordDocument::exportToWord(m_template, target, title, m_competition.stageTable(page));
    return result ? target : QString();
}

void TestWordDocument::columnsPerPage_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("lastCaption");
    QTest::newRow("heat start list") << 0 << 9 << "Zeit3";
    QTest::newRow("heat results") << 1 << 10 << "G-Zeit";
    QTest::newRow("final start list") << 2 << 9 << "Zeit5";
    QTest::newRow("final results") << 3 << 11 << "Endzeit";
}

void TestWordDocument::columnsPerPage() {
    QFETCH(int, page);
    QFETCH(int, columns);
    QFETCH(QString, lastCaption);
    const QString file = exportPage(page);
    QVERIFY(!file.isEmpty());
    const auto doc = OfficeReader::open(file);
    QVERIFY(doc);
    QVERIFY(doc->allXmlWellFormed());
    QCOMPARE(doc->gridColumns(), columns);
    const QList<QStringList> rows = doc->tableRows();
    QCOMPARE(rows.size(), m_competition.stageTable(page).rowsWithHeader());
    for (const QStringList& row : rows)
        QCOMPARE(row.size(), columns);
    QCOMPARE(rows.first().last(), lastCaption);
}

void TestWordDocument::cellsInOrder() {
    const QString file = exportPage(0, QStringLiteral("Deutsche Meisterschaften"));
    const auto doc = OfficeReader::open(file);
    QVERIFY(doc);
    QCOMPARE(doc->paragraphsBeforeTable(),
             (QStringList{QStringLiteral("Deutsche Meisterschaften"), QString()}));
    const CompetitionTable& table = m_competition.heatStartList();
    const QList<QStringList> rows = doc->tableRows();
    QVERIFY(!rows.first().contains(QStringLiteral("Zeit4")));
    QVERIFY(!rows.first().contains(QStringLiteral("Zeit5")));
    for (int r = 0; r < table.rowsWithHeader(); ++r)
        QCOMPARE(rows.at(r), table.rowCells(r).mid(0, 9));
}

void TestWordDocument::templatePartsKept() {
    const auto before = OfficeReader::open(m_template);
    const auto after = OfficeReader::open(exportPage(1));
    QVERIFY(before && after);
    for (const QString& name : before->package().names()) {
        QVERIFY2(after->package().contains(name), qPrintable(name));
        if (name != u"word/document.xml")
            QCOMPARE(after->package().part(name), before->package().part(name));
    }
    const QByteArray body = after->package().part(QStringLiteral("word/document.xml"));
    // The page setup and the header and footer references still close the body.
    QVERIFY(body.contains("w:orient=\"landscape\""));
    QVERIFY(body.contains("<w:headerReference w:type=\"default\" r:id=\"rId3\"/>"));
    QVERIFY(body.indexOf("<w:tbl>") < body.indexOf("<w:sectPr>"));
}

void TestWordDocument::textComesOutAsUnicode_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("umlauts") << "Müller-Lüdenscheidt ß"
                             << "Müller-Lüdenscheidt ß";
    QTest::newRow("markup") << "<b>Tom & \"Jerry\"</b>"
                            << "<b>Tom & \"Jerry\"</b>";
    QTest::newRow("control characters") << "A\x01"
                                           "B\tC"
                                        << "A B C";
    QTest::newRow("euro sign") << "€ 5"
                               << "€ 5";
}

void TestWordDocument::textComesOutAsUnicode() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    m_competition.heatStartList().setCell(1, 1, name);
    const auto doc = OfficeReader::open(exportPage(0, name));
    QVERIFY(doc);
    QVERIFY(doc->allXmlWellFormed());
    QCOMPARE(doc->tableRows().at(1).at(1), shown);
    QCOMPARE(doc->paragraphsBeforeTable().first(), shown);
}

void TestWordDocument::otherPrefixAndEmptyBody() {
    auto package = ZipPackage::fromBytes(OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR));
    QVERIFY(package);
    package->setPart(
        QStringLiteral("word/document.xml"),
        "<?xml version=\"1.0\"?><x:document "
        "xmlns:x=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><x:body/>"
        "</x:document>");
    QString error;
    const auto bytes = WordDocument::build(*package->toBytes(), QStringLiteral("T"),
                                           {{"a", "b"}, {"1", "2"}}, &error);
    QVERIFY2(bytes, qPrintable(error));
    const auto doc = OfficeReader::fromBytes(*bytes);
    QVERIFY(doc->allXmlWellFormed());
    QCOMPARE(doc->tableRows(), (QList<QStringList>{{"a", "b"}, {"1", "2"}}));
    QVERIFY(doc->package().part(QStringLiteral("word/document.xml")).contains("<x:tbl>"));
}

void TestWordDocument::unusableTemplateWritesNothing_data() {
    QTest::addColumn<QByteArray>("templateBytes");
    QTest::newRow("no zip") << QByteArray("not a document");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("zip without document") << OfficeTemplates::excelTemplate(4);
}

void TestWordDocument::unusableTemplateWritesNothing() {
    QFETCH(QByteArray, templateBytes);
    QVERIFY(OfficeTemplates::writeFile(m_template, templateBytes));
    const QString target = m_dir.filePath(QStringLiteral("none.docx"));
    const FileWriteResult result =
        WordDocument::exportToWord(m_template, target, QString(), m_competition.heatStartList());
    QVERIFY(!result);
    QVERIFY(result.message.startsWith(QStringLiteral("Die Wordvorlage ") + m_template));
    QVERIFY(!QFile::exists(target));
}

void TestWordDocument::failedWriteKeepsOlderFile() {
    const QString target = m_dir.filePath(QStringLiteral("older.docx"));
    QVERIFY(OfficeTemplates::writeFile(target, "older"));
    FaultyFileSystem disk;
    disk.fail(FaultyFileSystem::Call::Write, ENOSPC);
    const FileWriteResult result = WordDocument::exportToWord(m_template, target, QString(),
                                                              m_competition.heatStartList(), disk);
    QVERIFY(!result);
    QCOMPARE(result.message, QStringLiteral("Der Schreibfehler der Datei: ") + target);
    QFile older(target);
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("older"));
}

void TestWordDocument::shippedTemplateIsUsable() {
    // The one the build zipped next to the executable, not the test's own zip of the sources.
    const QString shipped = QStringLiteral(VELMORA_BINARY_DIR "/Protokollvorlage.docx");
    const QString target = m_dir.filePath(QStringLiteral("shipped.docx"));
    const FileWriteResult result = WordDocument::exportToWord(shipped, target, QStringLiteral("T"),
                                                              m_competition.finalResults());
    QVERIFY2(result, qPrintable(result.message + u' ' + result.reason));
    const auto doc = OfficeReader::open(target);
    QVERIFY(doc);
    QVERIFY(doc->allXmlWellFormed());
    QCOMPARE(doc->gridColumns(), 11);
    QVERIFY(doc->package().part(QStringLiteral("word/header1.xml")).contains("Velmora"));
    QVERIFY(doc->package().part(QStringLiteral("word/footer1.xml")).contains("PAGE"));
}

void TestWordDocument::columnWidthsKeepNumbersWhole_data() {
    QTest::addColumn<QString>("name");
    const QString words = QStringLiteral("Maximiliane Charlotte von Hohenberg-Lichtenstein zu Au");
    QTest::newRow("60 characters with blanks") << words.leftJustified(60, u'x');
    QTest::newRow("60 characters in one word") << QString(60, u'M');
    QTest::newRow("short, everything fits") << QStringLiteral("Groß");
}

void TestWordDocument::columnWidthsKeepNumbersWhole() {
    QFETCH(QString, name);
    const QList<QStringList> rows{
        {"Nr.", "Name", "Vorname", "Verein / Ort", "Kl.", "Meister", "Zeit1", "Zeit2", "Zeit3"},
        {"1010", name, "Anna", "SV Nord", "1", "+", "14,90", "15,02", "-"},
        {"12", "Ott", "Jo", "TV Ost", "2", "", "1024", "", ""}};
    const int textWidth = 9638;
    const QList<int> widths = WordDocument::columnWidths(rows, textWidth);
    QCOMPARE(widths.size(), 9);
    int sum = 0;
    for (const int w : widths)
        sum += w;
    QVERIFY(sum <= textWidth && sum > textWidth - 9);
    // A number or caption is never broken: at 130 twips a character and 230 for the margins.
    const auto whole = [](int characters) {
        return characters * 130 + 230;
    };
    QVERIFY(widths[0] >= whole(4));
    for (const int c : {4, 5, 6, 7, 8})
        QVERIFY2(widths[c] >= whole(c == 4   ? 3
                                    : c == 5 ? 7
                                             : 5),
                 qPrintable(QStringLiteral("column %1: %2").arg(c).arg(widths[c])));
    // A long name takes the room the others leave.
    if (name.size() > 20)
        QVERIFY(widths[1] > widths[2] && widths[1] > widths[3]);
}

QTEST_GUILESS_MAIN(TestWordDocument)
#include "tst_worddocument.moc"

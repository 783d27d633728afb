#include "competition/Competition.h"
#include "mock/OfficeReader.h"
#include "mock/OfficeTemplates.h"
#include "output/BackgroundExport.h"
#include "output/OfficeDocumentExport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <optional>

// Word and Excel documents written in the background from a copy of the tables, with the
// templates looked up for every document.
class TestOfficeDocumentExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void wordTakesTheTableAsItWasAsked_data();
    void wordTakesTheTableAsItWasAsked();
    void missingWordTemplateWritesNothing();
    void excelTakesTheCaptionsAndTexts();
    void unusableExcelTemplateIsTheOutcome();
    void templateThatComesIsNoticed();

private:
    // Waits for the documents and gives the outcome, delivered on the test's thread.
    std::optional<FileWriteResult> outcome();
    OfficeDocumentExport::Done recorder();

    std::unique_ptr<QTemporaryDir> m_dir;
    Competition m_competition{TimeFormat(TimeFormat::Seconds, u',')};
    std::unique_ptr<OfficeDocumentExport> m_export;
    std::optional<FileWriteResult> m_outcome;
    bool m_onOwnThread = false;
};

void TestOfficeDocumentExport::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_outcome.reset();
    m_competition.writeDerivedHeaders();
    m_competition.writeHeatStartListHeader();
    CompetitionTable& grid = m_competition.heatStartList();
    grid.setRowsWithHeader(3);
    grid.setRowCells(1, {"1", "Müller", "Anna", "SV Nord", "1", "+", "1024", "", "", "", ""});
    grid.setRowCells(2, {"2", "Groß", "Jörg", "TV Ost", "2", "", "1250", "", "", "", ""});
    const QString folder = m_dir->path();
    m_export = std::make_unique<OfficeDocumentExport>(
        m_competition,
        OfficeDocumentExport::Templates{
            [folder] { return folder + QStringLiteral("/Protokollvorlage.docx"); },
            [folder] { return folder + QStringLiteral("/Protokollvorlage.xlsx"); },
            {folder, QStringLiteral("/nirgends")}},
        OfficeDocumentExport::Sources{
            [] { return QStringLiteral("Meisterschaft 2026"); },
            [](int page) { return QStringLiteral("  Blatt %1").arg(page + 1); },
            [] {
                return QStringLiteral("Velmora - Rodeln");
            }});
}

void TestOfficeDocumentExport::cleanup() {
    m_export.reset();
    m_dir.reset();
}

OfficeDocumentExport::Done TestOfficeDocumentExport::recorder() {
    return [this](const FileWriteResult& result) {
        m_onOwnThread = QThread::currentThread() == thread();
        m_outcome = result;
    };
}

std::optional<FileWriteResult> TestOfficeDocumentExport::outcome() {
    if (!m_export->jobs().waitForIdle(20000))
        return std::nullopt;
    return m_outcome;
}

void TestOfficeDocumentExport::wordTakesTheTableAsItWasAsked_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("a name changed") << "name";
    QTest::newRow("the row removed") << "row";
}

void TestOfficeDocumentExport::wordTakesTheTableAsItWasAsked() {
    QFETCH(QString, change);
    QVERIFY(OfficeTemplates::writeFile(m_dir->filePath(QStringLiteral("Protokollvorlage.docx")),
                                       OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR)));
    const QString target = m_dir->filePath(QStringLiteral("protokoll.docx"));
    QVERIFY(m_export->wordTemplatePresent());
    QVERIFY(m_export->writeWord(target, 0, recorder()));
    // The race goes on while the document is written: a change made now is not in it.
    if (change == u"name")
        m_competition.heatStartList().setCell(1, 2, QStringLiteral("Schmidt"));
    else
        m_competition.heatStartList().setRowsWithHeader(2);
    const auto result = outcome();
    QVERIFY(result);
    QVERIFY2(*result, qPrintable(result->message + result->reason));
    QVERIFY(m_onOwnThread);
    const auto doc = OfficeReader::open(target);
    QVERIFY(doc);
    QCOMPARE(doc->paragraphsBeforeTable().first(), QStringLiteral("Meisterschaft 2026"));
    QCOMPARE(doc->tableRows().at(2).at(1), QStringLiteral("Groß"));
}

void TestOfficeDocumentExport::missingWordTemplateWritesNothing() {
    QSignalSpy changed(m_export.get(), &OfficeDocumentExport::templatesChanged);
    const QString target = m_dir->filePath(QStringLiteral("protokoll.docx"));
    QVERIFY(!m_export->wordTemplatePresent());
    const FileWriteResult result = m_export->writeWord(target, 0, recorder());
    QVERIFY(!result);
    QCOMPARE(result.message, QStringLiteral("Die Wordvorlage ") + m_export->wordTemplatePath() +
                                 QStringLiteral(" fehlt; es wurde nichts gespeichert."));
    QCOMPARE(changed.size(), 1);
    QVERIFY(!m_export->jobs().busy());
    QVERIFY(!m_outcome);
    QVERIFY(!QFile::exists(target));
}

void TestOfficeDocumentExport::excelTakesTheCaptionsAndTexts() {
    const QString target = m_dir->filePath(QStringLiteral("protokoll.xlsx"));
    m_export->writeExcel(target, recorder());
    QVERIFY(m_export->jobs().busy());
    QCOMPARE(m_export->jobs().task(), QStringLiteral("Excel-Arbeitsmappe wird geschrieben"));
    const auto result = outcome();
    QVERIFY(result);
    QVERIFY2(*result, qPrintable(result->message + result->reason));
    const auto book = OfficeReader::open(target);
    QVERIFY(book);
    const QList<OfficeReader::Sheet> sheets = book->sheets();
    QCOMPARE(sheets.size(), 4);
    QCOMPARE(sheets.at(0).name, QStringLiteral("Blatt 1"));
    QCOMPARE(sheets.at(3).name, QStringLiteral("Blatt 4"));
    QCOMPARE(sheets.at(0).cells.value("B3").value, QStringLiteral("Groß"));
    QCOMPARE(book->coreProperty("title"), QStringLiteral("Meisterschaft 2026"));
    QCOMPARE(book->coreProperty("subject"), QStringLiteral("Velmora - Rodeln"));
}

void TestOfficeDocumentExport::unusableExcelTemplateIsTheOutcome() {
    // Looked up when the workbook is asked for, not when the export was made.
    const QString templatePath = m_dir->filePath(QStringLiteral("Protokollvorlage.xlsx"));
    QVERIFY(QFile::link(QStringLiteral("/nirgends/Vorlage.xlsx"), templatePath));
    const QString target = m_dir->filePath(QStringLiteral("protokoll.xlsx"));
    m_export->writeExcel(target, recorder());
    const auto result = outcome();
    QVERIFY(result);
    QVERIFY(!*result);
    QCOMPARE(result->message, "Die Excelvorlage " + templatePath +
                                  " kann nicht gelesen werden; es wurde nichts gespeichert.");
    QVERIFY(!QFile::exists(target));
}

void TestOfficeDocumentExport::templateThatComesIsNoticed() {
    QSignalSpy changed(m_export.get(), &OfficeDocumentExport::templatesChanged);
    QVERIFY(OfficeTemplates::writeFile(m_dir->filePath(QStringLiteral("Protokollvorlage.docx")),
                                       OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR)));
    QTRY_VERIFY(!changed.isEmpty());
    QVERIFY(m_export->wordTemplatePresent());
}

QTEST_MAIN(TestOfficeDocumentExport)
#include "tst_officedocumentexport.moc"

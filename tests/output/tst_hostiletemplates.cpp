#include "competition/Competition.h"
#include "mock/OfficeReader.h"
#include "mock/OfficeTemplates.h"
#include "mock/ZipBomb.h"
#include "output/ExcelWorkbook.h"
#include "output/WordDocument.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

namespace {

constexpr qint64 Gibibyte = 1024;          // in MiB
constexpr quint32 SmallLie = 2000;         // bytes a bomb claims to unpack to
constexpr long MemoryLimitKb = 100 * 1024; // more than before the export

long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QList<ExcelWorkbook::Sheet> sheets() {
    return {{"A", {{"Nr."}, {"7"}}}, {"B", {{"Pl."}}}, {"C", {{"Nr."}}}, {"D", {{"Pl."}}}};
}

} // namespace

// Templates made to freeze or crash the program: parts that unpack to a gigabyte are refused
// within a second and without the memory, with the reason, and parts the export does not use
// are never unpacked.
class TestHostileTemplates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusedQuicklyWithTheReason_data();
    void refusedQuicklyWithTheReason();
    void unusedPartIsNeverUnpacked();

private:
    FileWriteResult exportWith(const QString& kind, const QString& templatePath,
                               const QString& target);

    QTemporaryDir m_dir;
    Competition m_competition{TimeFormat(TimeFormat::Seconds, u',')};
};

FileWriteResult TestHostileTemplates::exportWith(const QString& kind, const QString& templatePath,
                                                 const QString& target) {
    if (kind == "word")
        return WordDocument::exportToWord(templatePath, target, QStringLiteral("T"),
                                          m_competition.heatStartList());
    return ExcelWorkbook::exportToExcel(templatePath, target, sheets(), {},
                                        m_competition.timeFormat());
}

void TestHostileTemplates::refusedQuicklyWithTheReason_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("templateBytes");
    QTest::addColumn<QString>("reason");
    const QByteArray excel = OfficeTemplates::excelTemplate(4);
    const QByteArray word = OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR);
    const QString sheet = QStringLiteral("xl/worksheets/sheet1.xml");
    QTest::newRow("unused part of 1 GiB")
        << "excel" << ZipBomb::withPart(excel, {"xl/media/bomb.bin", {}, Gibibyte, std::nullopt})
        << "der Teil xl/media/bomb.bin wäre entpackt 1024 MB groß (erlaubt sind 32 MB)";
    QTest::newRow("sheet of 1 GiB")
        << "excel" << ZipBomb::withPart(excel, {sheet, {}, Gibibyte, std::nullopt})
        << "der Teil " + sheet + " wäre entpackt 1024 MB groß";
    QTest::newRow("document of 1 GiB")
        << "word" << ZipBomb::withPart(word, {"word/document.xml", {}, Gibibyte, std::nullopt})
        << "der Teil word/document.xml wäre entpackt 1024 MB groß";
    QTest::newRow("sheet of 1 GiB claiming 2000 bytes")
        << "excel" << ZipBomb::withPart(excel, {sheet, {}, Gibibyte, SmallLie})
        << "der Teil " + sheet + " ist entpackt größer als angegeben";
    QTest::newRow("document of 1 GiB claiming 2000 bytes")
        << "word" << ZipBomb::withPart(word, {"word/document.xml", {}, Gibibyte, SmallLie})
        << "der Teil word/document.xml ist entpackt größer als angegeben";
    QTest::newRow("packed a thousand times below the size limit")
        << "excel" << ZipBomb::withPart(excel, {"xl/media/bomb.bin", {}, 30, std::nullopt})
        << "der Teil xl/media/bomb.bin wäre entpackt mehr als 100-mal so groß wie gepackt";
}

void TestHostileTemplates::refusedQuicklyWithTheReason() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, templateBytes);
    QFETCH(QString, reason);
    QVERIFY(templateBytes.size() < 4 * 1024 * 1024);
    const QString path =
        m_dir.filePath(kind == "word" ? "Protokollvorlage.docx" : "Protokollvorlage.xlsx");
    const QString target = m_dir.filePath("out");
    QVERIFY(OfficeTemplates::writeFile(path, templateBytes));
    const long memoryBefore = peakMemoryKb();
    QElapsedTimer clock;
    clock.start();
    const FileWriteResult result = exportWith(kind, path, target);
    const qint64 elapsed = clock.elapsed();
    QVERIFY(!result);
    QVERIFY2(result.message.startsWith((kind == "word" ? "Die Wordvorlage " : "Die Excelvorlage ") +
                                       path),
             qPrintable(result.message));
    QVERIFY2(result.reason.startsWith(reason), qPrintable(result.reason));
    QVERIFY(!QFile::exists(target));
    QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));
    const long grown = peakMemoryKb() - memoryBefore;
    QVERIFY2(grown < MemoryLimitKb, qPrintable(QString::number(grown)));
}

void TestHostileTemplates::unusedPartIsNeverUnpacked() {
    // A gigabyte behind a harmless size: only unpacking it would tell, and the export has
    // no use for it, so it goes into the workbook as it came.
    const QString path = m_dir.filePath("Protokollvorlage.xlsx");
    const QString target = m_dir.filePath("kept.xlsx");
    QVERIFY(OfficeTemplates::writeFile(
        path, ZipBomb::withPart(OfficeTemplates::excelTemplate(4),
                                {"xl/media/unused.bin", {}, Gibibyte, SmallLie})));
    QElapsedTimer clock;
    clock.start();
    const FileWriteResult result = exportWith("excel", path, target);
    QVERIFY2(result, qPrintable(result.message + u' ' + result.reason));
    QVERIFY(clock.elapsed() < 1000);
    const auto written = OfficeReader::open(target);
    QVERIFY(written);
    QVERIFY(written->package().contains("xl/media/unused.bin"));
    QVERIFY(written->package().part("xl/worksheets/sheet1.xml").contains("Nr."));
}

QTEST_GUILESS_MAIN(TestHostileTemplates)
#include "tst_hostiletemplates.moc"

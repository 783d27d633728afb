#include "competition/TimeFormat.h"
#include "mock/OfficeReader.h"
#include "mock/OfficeTemplates.h"
#include "output/ExcelWorkbook.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>
#include <cstdio>

// The workbook under a German locale (the test runs with LC_ALL=de_DE.UTF-8): every number in
// its XML is written with a point, so office programs read the times that were exported.
class TestExcelLocale : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void numbersAreWrittenWithAPoint_data();
    void numbersAreWrittenWithAPoint();
};

namespace {

QString printed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return QString::fromLatin1(text);
}

} // namespace

void TestExcelLocale::initTestCase() {
    // QCoreApplication took the locale of the environment, as the program does.
    if (printed(14.9) != QStringLiteral("14,9")) {
        const QString message =
            QStringLiteral("de_DE.UTF-8 is not installed (scripts/test generates it)");
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL(qPrintable(message));
        QSKIP(qPrintable(message));
    }
}

void TestExcelLocale::numbersAreWrittenWithAPoint_data() {
    QTest::addColumn<bool>("fromTemplate");
    QTest::newRow("new workbook") << false;
    QTest::newRow("from the template") << true;
}

void TestExcelLocale::numbersAreWrittenWithAPoint() {
    QFETCH(bool, fromTemplate);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("protokoll.xlsx"));
    std::optional<QString> templatePath;
    if (fromTemplate) {
        templatePath = dir.filePath(QStringLiteral("Protokollvorlage.xlsx"));
        QVERIFY(OfficeTemplates::writeFile(*templatePath, OfficeTemplates::excelTemplate(4)));
    }
    const QList<QStringList> rows{{"Nr.", "Name", "Zeit1", "Zeit2"},
                                  {"7", "Müller", "14,90", "7,91"}};
    const QList<ExcelWorkbook::Sheet> sheets{
        {"Vorlauf-Startliste", rows}, {"B", rows}, {"C", rows}, {"D", rows}};
    const FileWriteResult result = ExcelWorkbook::ExportToExcel(
        templatePath, target, sheets, {"Titel", "Velmora", "Autor"}, TimeFormat(1, u','));
    QVERIFY2(result, qPrintable(result.message + result.reason));

    const auto book = OfficeReader::open(target);
    QVERIFY(book);
    const OfficeReader::Sheet first = book->sheets().first();
    QCOMPARE(first.cells.value("C2").value, QStringLiteral("14.9"));
    QCOMPARE(first.cells.value("D2").value, QStringLiteral("7.91"));
    // Widths, margins and every other number of the sheet read as C numbers.
    const QString xml = QString::fromUtf8(book->package().part("xl/worksheets/sheet1.xml"));
    const QRegularExpression number(QStringLiteral("(?:=\"|<v>)(-?[0-9][0-9.,]*)[\"<]"));
    int numbers = 0;
    for (const auto& match : number.globalMatch(xml)) {
        QVERIFY2(!match.captured(1).contains(u','), qPrintable(match.captured(0)));
        ++numbers;
    }
    QVERIFY(numbers > 8);
    // The rest of the program keeps the user's locale.
    QCOMPARE(printed(14.9), QStringLiteral("14,9"));
}

QTEST_GUILESS_MAIN(TestExcelLocale)
#include "tst_excellocale.moc"

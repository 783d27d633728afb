#include "competition/TimeFormat.h"
#include "mock/OfficeReader.h"
#include "output/ExcelWorkbook.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

// The workbook under a German locale (the test runs with LC_ALL=de_DE.UTF-8): every number in
// its XML is written with a point, so office programs read the times that were exported.
class TestExcelLocale : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numbersAreWrittenWithAPoint();
};

void TestExcelLocale::numbersAreWrittenWithAPoint() {
    // QCoreApplication took the locale of the environment, as the program does.
    char printed[16];
    std::snprintf(printed, sizeof printed, "%g", 14.9);
    if (QByteArray(printed) != "14,9") {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL("de_DE.UTF-8 is not installed (scripts/test generates it)");
        QSKIP("de_DE.UTF-8 is not installed (scripts/test generates it)");
    }
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("protokoll.xlsx"));
    const QList<QStringList> rows{{"Nr.", "Zeit1", "Zeit2"}, {"7", "14,90", "7,91"}};
    const FileWriteResult result = ExcelWorkbook::exportToExcel(
        std::nullopt, target, {{"A", rows}, {"B", rows}, {"C", rows}, {"D", rows}},
        {"Titel", "Velmora", "Autor"}, TimeFormat(1, u','));
    QVERIFY2(result, qPrintable(result.message + result.reason));
    const auto book = OfficeReader::open(target);
    QVERIFY(book);
    QCOMPARE(book->sheets().first().cells.value("B2").value, QStringLiteral("14.9"));
    QCOMPARE(book->sheets().first().cells.value("C2").value, QStringLiteral("7.91"));
    // Widths, margins and every other number of the sheet read as C numbers.
    const QString xml = QString::fromUtf8(book->package().part("xl/worksheets/sheet1.xml"));
    const QRegularExpression number(QStringLiteral("(?:=\"|<v>)(-?[0-9][0-9.,]*)[\"<]"));
    int numbers = 0;
    for (const auto& match : number.globalMatch(xml)) {
        QVERIFY2(!match.captured(1).contains(u','), qPrintable(match.captured(0)));
        ++numbers;
    }
    QVERIFY(numbers > 8);
}

QTEST_GUILESS_MAIN(TestExcelLocale)
#include "tst_excellocale.moc"

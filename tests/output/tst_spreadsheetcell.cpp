#include "competition/TimeFormat.h"
#include "output/SpreadsheetCell.h"

#include <QtTest>

// Which cell texts become numbers in the workbook.
class TestSpreadsheetCell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void classify_data();
    void classify();
};

void TestSpreadsheetCell::classify_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    const int text = int(SpreadsheetCell::Kind::Text);
    const int integer = int(SpreadsheetCell::Kind::Integer);
    const int decimal = int(SpreadsheetCell::Kind::Decimal);
    const int s = TimeFormat::Seconds;
    const int h = TimeFormat::Hundredths;
    QTest::newRow("start number") << s << "12" << integer << 12.0 << "";
    QTest::newRow("class") << h << "3" << integer << 3.0 << "";
    QTest::newRow("negative") << h << "-5" << integer << -5.0 << "";
    QTest::newRow("hundredths time") << h << "1024" << integer << 1024.0 << "";
    QTest::newRow("seconds time") << s << "10,24" << decimal << 10.24 << "";
    QTest::newRow("long time") << s << "125,07" << decimal << 125.07 << "";
    QTest::newRow("comma time in hundredths format") << h << "10,24" << text << 0.0 << "10,24";
    QTest::newRow("one decimal only") << s << "10,2" << text << 0.0 << "10,2";
    QTest::newRow("run state") << s << "DNF" << text << 0.0 << "DNF";
    QTest::newRow("point instead of comma") << s << "10.24" << text << 0.0 << "10.24";
    QTest::newRow("leading zero") << h << "007" << text << 0.0 << "007";
    QTest::newRow("plus sign") << h << "+" << text << 0.0 << "+";
    QTest::newRow("blank") << s << " " << text << 0.0 << " ";
    QTest::newRow("empty") << s << "" << text << 0.0 << "";
    QTest::newRow("name") << s << "Meier" << text << 0.0 << "Meier";
    QTest::newRow("sixteen digits") << h << "1234567890123456" << text << 0.0 << "1234567890123456";
    QTest::newRow("control character") << s << "a\x02z" << text << 0.0 << "a z";
    QTest::newRow("zero time") << s << "0,00" << text << 0.0 << "0,00";
}

void TestSpreadsheetCell::classify() {
    QFETCH(int, setting);
    QFETCH(QString, cell);
    QFETCH(int, kind);
    QFETCH(double, number);
    QFETCH(QString, text);
    const SpreadsheetCell result = SpreadsheetCell::classify(cell, TimeFormat(setting, u','));
    QCOMPARE(int(result.kind), kind);
    QCOMPARE(result.number, number);
    QCOMPARE(result.text, text);
}

QTEST_GUILESS_MAIN(TestSpreadsheetCell)
#include "tst_spreadsheetcell.moc"

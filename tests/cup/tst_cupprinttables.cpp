#include "CupSample.h"
#include "competition/CompetitionTable.h"
#include "cup/CupPrintTables.h"

#include <QtTest>

using CupSample::cells;

// The table the print preview and the PDF export are given, row by row.
class TestCupPrintTables : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeTable_data();
    void wholeTable();
};

void TestCupPrintTables::wholeTable_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("captions") << 0
                              << cells("Pl.;Name;Vorname;Verein;Lauf 1;Lauf 2;Lauf 3 <Süd>;"
                                       "Summe;Abstand;Bemerkung");
    QTest::newRow("class caption") << 1 << cells(";Klasse 3;;;;;;;;");
    QTest::newRow("dropped in brackets")
        << 2 << cells("1;Müller;Jörg;SV Süd & Co;100;80;(60);180;;uneinholbar");
    QTest::newRow("unranked")
        << 4 << cells(";Kurz;Eva;;;;60;60;;Kl. 2 bis Lauf 2, zu wenige Starts (1 von 2)");
    QTest::newRow("between classes") << 5 << QStringList(10);
    QTest::newRow("voided") << 7 << cells("1;Lang;Udo;WSV;50,50;annulliert;;50,50;;");
    QTest::newRow("voided note") << 8 << cells(";Lauf 2 annulliert: Sturm;;;;;;;;");
    QTest::newRow("club caption") << 10 << cells(";Vereine;;;;;;;;");
    QTest::newRow("club") << 12 << cells("2;TSV <Nord>;;;;;;160;;Huber Max (160)");
}

void TestCupPrintTables::wholeTable() {
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    const auto table =
        CupPrintTables::wholeTable(CupSample::standings(), CupRules::Scoring::PointsTable);
    QCOMPARE(table->rowsWithHeader(), 13);
    QCOMPARE(table->rowCells(row), expected);
}

QTEST_GUILESS_MAIN(TestCupPrintTables)
#include "tst_cupprinttables.moc"

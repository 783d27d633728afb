#include "CupSample.h"
#include "competition/CompetitionTable.h"
#include "cup/CupPrintTables.h"

#include <QtTest>

// The tables the print preview and the PDF export are given, cell by cell.
class TestCupPrintTables : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeTable_data();
    void wholeTable();
    void classAndClubTables();
};

void TestCupPrintTables::wholeTable_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("captions") << 0 << QStringList{"Pl.",     "Name",     "Vorname",      "Verein",
                                                  "Lauf 1",  "Lauf 2",   "Lauf 3 <Süd>", "Summe",
                                                  "Abstand", "Bemerkung"};
    QTest::newRow("class caption")
        << 1 << QStringList{"", "Klasse 3", "", "", "", "", "", "", "", ""};
    QTest::newRow("dropped in brackets")
        << 2 << QStringList{"1",    "Müller", "Jörg", "SV Süd & Co", "100", "80",
                            "(60)", "180",    "",     "uneinholbar"};
    QTest::newRow("unranked")
        << 4 << QStringList{"", "Kurz", "Eva", "", "",
                            "", "60",   "60",  "", "Kl. 2 bis Lauf 2, zu wenige Starts (1 von 2)"};
    QTest::newRow("gap between classes") << 5 << QStringList(10);
    QTest::newRow("voided") << 7 << QStringList{"1",          "Lang", "Udo",   "WSV", "50,50",
                                                "annulliert", "",     "50,50", "",    ""};
    QTest::newRow("voided note")
        << 8 << QStringList{"", "Lauf 2 annulliert: Sturm", "", "", "", "", "", "", "", ""};
    QTest::newRow("club caption") << 10
                                  << QStringList{"", "Vereine", "", "", "", "", "", "", "", ""};
    QTest::newRow("club") << 11 << QStringList{"1", "SV Süd & Co",      "", "", "", "", "", "180",
                                               "",  "Müller Jörg (180)"};
}

void TestCupPrintTables::wholeTable() {
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    const auto table =
        CupPrintTables::wholeTable(CupSample::standings(), CupRules::Scoring::PointsTable);
    QCOMPARE(table->rowsWithHeader(), 13);
    QCOMPARE(table->rowCells(row), expected);
}

void TestCupPrintTables::classAndClubTables() {
    const CupStandings standings = CupSample::standings();
    const auto four =
        CupPrintTables::classTable(standings, standings.classes.at(1), CupRules::Scoring::TimeSum);
    QCOMPARE(four->rowsWithHeader(), 3);
    QCOMPARE(four->cell(4, 1), QStringLiteral("50,50"));
    QCOMPARE(four->cell(1, 2), QStringLiteral("Lauf 2 annulliert: Sturm"));
    const auto clubs = CupPrintTables::clubTable(standings.clubs.at(0), CupRules::Scoring::TimeSum);
    QCOMPARE(clubs->rowCells(0), (QStringList{"Pl.", "Verein", "Summe", "Mitglieder"}));
    QCOMPARE(clubs->rowCells(2), (QStringList{"2", "TSV <Nord>", "160,00", "Huber Max (160)"}));
}

QTEST_GUILESS_MAIN(TestCupPrintTables)
#include "tst_cupprinttables.moc"

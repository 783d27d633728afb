#include "CupSample.h"
#include "cup/CupCsv.h"

#include <QTemporaryDir>
#include <QtTest>

// The standings' semicolon file, byte for byte.
class TestCupCsv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bytes_data();
    void bytes();
};

void TestCupCsv::bytes_data() {
    QTest::addColumn<QString>("cupName");
    QTest::addColumn<int>("scoring");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray header = "Pl.;Name;Vorname;Verein;Lauf 1;Lauf 2;Lauf 3 <S\xfc"
                              "d>;Summe;Abstand;Bemerkung\r\n";
    const QByteArray rest =
        "2;Huber;Max;TSV <Nord>;80;DNS;80;160;20;\r\n"
        ";Kurz;Eva;;;;60;60;;Kl. 2 bis Lauf 2, zu wenige Starts (1 von 2)\r\n\r\nKlasse 4\r\n" +
        header +
        "1;Lang;Udo;WSV;50,50;annulliert;;50,50;;\r\nLauf 2 annulliert: Sturm\r\n\r\nVereine\r\n"
        "Pl.;Verein;Summe;Mitglieder\r\n1;SV S\xfc"
        "d & Co;180;M\xfcller J\xf6rg (180)\r\n2;TSV <Nord>;160;Huber Max (160)\r\n";
    QTest::newRow("points") << QStringLiteral("Winter-Cup") << int(CupRules::Scoring::PointsTable)
                            << "Winter-Cup\r\nWertung: Punkte\r\n\r\nKlasse 3\r\n" + header +
                                   "1;M\xfcller;J\xf6rg;SV S\xfc"
                                   "d & Co;100;80;(60);180;;uneinholbar\r\n" +
                                   rest;
    QTest::newRow("a semicolon in the name is quoted")
        << QStringLiteral("Cup \"Süd\"; 2027") << int(CupRules::Scoring::PointsTable)
        << "\"Cup \"\"S\xfc"
           "d\"\"; 2027\"\r\nWertung: Punkte\r\n\r\nKlasse 3\r\n" +
               header +
               "1;M\xfcller;J\xf6rg;SV S\xfc"
               "d & Co;100;80;(60);180;;uneinholbar\r\n" +
               rest;
}

void TestCupCsv::bytes() {
    QFETCH(QString, cupName);
    QFETCH(int, scoring);
    QFETCH(QByteArray, expected);
    const CupStandings standings = CupSample::standings();
    const auto how = static_cast<CupRules::Scoring>(scoring);
    QCOMPARE(CupCsv::csvBytes(standings, cupName, how), expected);
    QTemporaryDir dir;
    QVERIFY(CupCsv::write(dir.filePath(QStringLiteral("cup.csv")), standings, cupName, how));
    QFile written(dir.filePath(QStringLiteral("cup.csv")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected);
}

QTEST_GUILESS_MAIN(TestCupCsv)
#include "tst_cupcsv.moc"

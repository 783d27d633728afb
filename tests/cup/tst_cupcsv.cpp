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
    void writtenFileHoldsTheBytes();
};

void TestCupCsv::bytes_data() {
    QTest::addColumn<QString>("cupName");
    QTest::addColumn<int>("scoring");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray classes =
        "\r\nKlasse 3\r\n"
        "Pl.;Name;Vorname;Verein;Lauf 1;Lauf 2;Lauf 3 <S\xfc"
        "d>;Summe;Abstand;Bemerkung\r\n"
        "1;M\xfcller;J\xf6rg;SV S\xfc"
        "d & Co;100;80;(60);180;;uneinholbar\r\n"
        "2;Huber;Max;TSV <Nord>;80;DNS;80;160;20;\r\n"
        ";Kurz;Eva;;;;60;60;;Kl. 2 bis Lauf 2, zu wenige Starts (1 von 2)\r\n"
        "\r\nKlasse 4\r\n"
        "Pl.;Name;Vorname;Verein;Lauf 1;Lauf 2;Lauf 3 <S\xfc"
        "d>;Summe;Abstand;Bemerkung\r\n"
        "1;Lang;Udo;WSV;50,50;annulliert;;50,50;;\r\n"
        "Lauf 2 annulliert: Sturm\r\n"
        "\r\nVereine\r\n"
        "Pl.;Verein;Summe;Mitglieder\r\n"
        "1;SV S\xfc"
        "d & Co;180;M\xfcller J\xf6rg (180)\r\n"
        "2;TSV <Nord>;160;Huber Max (160)\r\n";
    QTest::newRow("points") << QStringLiteral("Winter-Cup") << int(CupRules::Scoring::PointsTable)
                            << QByteArray("Winter-Cup\r\nWertung: Punkte\r\n") + classes;
    QTest::newRow("a semicolon in the name is quoted")
        << QStringLiteral("Cup \"S\u00fcd\"; 2027") << int(CupRules::Scoring::PointsTable)
        << QByteArray("\"Cup \"\"S\xfc"
                      "d\"\"; 2027\"\r\nWertung: Punkte\r\n") +
               classes;
}

void TestCupCsv::bytes() {
    QFETCH(QString, cupName);
    QFETCH(int, scoring);
    QFETCH(QByteArray, expected);
    QCOMPARE(
        CupCsv::csvBytes(CupSample::standings(), cupName, static_cast<CupRules::Scoring>(scoring)),
        expected);
}

void TestCupCsv::writtenFileHoldsTheBytes() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cup.csv"));
    const CupStandings standings = CupSample::standings();
    QVERIFY(CupCsv::write(file, standings, QStringLiteral("C"), CupRules::Scoring::TimeSum));
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QCOMPARE(bytes, CupCsv::csvBytes(standings, QStringLiteral("C"), CupRules::Scoring::TimeSum));
    // A sum of times shows its hundredths everywhere.
    QVERIFY(bytes.contains("1;M\xfcller;J\xf6rg;SV S\xfc"
                           "d & Co;100,00;80,00;(60,00);180,00;;"));
    QVERIFY(!CupCsv::write(dir.filePath(QStringLiteral("no/such/dir.csv")), standings,
                           QStringLiteral("C"), CupRules::Scoring::TimeSum));
}

QTEST_GUILESS_MAIN(TestCupCsv)
#include "tst_cupcsv.moc"

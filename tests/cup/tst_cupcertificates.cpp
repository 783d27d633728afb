#include "CupSample.h"
#include "cup/CupCertificates.h"

#include <QtTest>

// The values a cup's podium certificates read.
class TestCupCertificates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void values_data();
    void values();
};

void TestCupCertificates::values_data() {
    QTest::addColumn<int>("scoring");
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("expected"); // one per certificate
    const int points = int(CupRules::Scoring::PointsTable);
    const int times = int(CupRules::Scoring::TimeSum);
    // The unranked competitor never gets one; class 3 comes before class 4.
    QTest::newRow("podium") << points << 3 << "Name" << CupSample::cells("Müller;Huber;Lang");
    QTest::newRow("winners") << points << 1 << "Name" << CupSample::cells("Müller;Lang");
    QTest::newRow("every ranked") << points << 0 << "Vorname" << CupSample::cells("Jörg;Max;Udo");
    QTest::newRow("Titel") << points << 1 << "Titel" << CupSample::cells("Winter-Cup;Winter-Cup");
    QTest::newRow("Cup") << points << 1 << "Cup" << CupSample::cells("Winter-Cup;Winter-Cup");
    QTest::newRow("Datum") << points << 1 << "Datum" << CupSample::cells("24.01.2027;24.01.2027");
    QTest::newRow("Verein") << points << 3 << "Verein"
                            << CupSample::cells("SV Süd & Co;TSV <Nord>;WSV");
    QTest::newRow("Klasse") << points << 3 << "Klasse" << CupSample::cells("3;3;4");
    QTest::newRow("Platz") << points << 3 << "Platz" << CupSample::cells("1;2;1");
    QTest::newRow("Punkte") << points << 3 << "Punkte" << CupSample::cells("180;160;50,50");
    QTest::newRow("no time for points") << points << 1 << "Zeit" << CupSample::cells(";");
    QTest::newRow("time sum") << times << 1 << "Zeit" << CupSample::cells("180,00 s;50,50 s");
    QTest::newRow("time sum total") << times << 1 << "Punkte" << CupSample::cells("180,00;50,50");
    QTest::newRow("field of the race") << points << 1 << "Lauf1" << CupSample::cells(";");
}

void TestCupCertificates::values() {
    QFETCH(int, scoring);
    QFETCH(int, places);
    QFETCH(QString, field);
    QFETCH(QStringList, expected);
    QStringList got;
    for (const CertificateFields::Values& v : CupCertificates::collect(
             CupSample::standings(), QStringLiteral("Winter-Cup"),
             static_cast<CupRules::Scoring>(scoring), places, QStringLiteral("24.01.2027"))) {
        QCOMPARE(v.size(), CertificateFields::names().size());
        got << v.value(field, QStringLiteral("missing"));
    }
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestCupCertificates)
#include "tst_cupcertificates.moc"

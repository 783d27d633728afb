#include "CupSample.h"
#include "cup/CupCertificates.h"

#include <QtTest>

// The values a cup's podium certificates read.
class TestCupCertificates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recipients_data();
    void recipients();
    void values_data();
    void values();
};

void TestCupCertificates::recipients_data() {
    QTest::addColumn<int>("places");
    QTest::addColumn<QStringList>("names");
    // The unranked competitor never gets one; class 3 comes before class 4.
    QTest::newRow("podium") << 3 << QStringList{"Müller", "Huber", "Lang"};
    QTest::newRow("winners") << 1 << QStringList{"Müller", "Lang"};
    QTest::newRow("every ranked") << 0 << QStringList{"Müller", "Huber", "Lang"};
}

void TestCupCertificates::recipients() {
    QFETCH(int, places);
    QFETCH(QStringList, names);
    QStringList got;
    for (const auto& v : CupCertificates::collect(CupSample::standings(), QStringLiteral("Cup"),
                                                  CupRules::Scoring::PointsTable, places))
        got << v.value(QStringLiteral("Name"));
    QCOMPARE(got, names);
}

void TestCupCertificates::values_data() {
    QTest::addColumn<int>("scoring");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    const int points = int(CupRules::Scoring::PointsTable);
    const int times = int(CupRules::Scoring::TimeSum);
    QTest::newRow("Titel") << points << 0 << "Titel"
                           << "Winter-Cup";
    QTest::newRow("Cup") << points << 0 << "Cup"
                         << "Winter-Cup";
    QTest::newRow("Datum") << points << 0 << "Datum"
                           << "24.01.2027";
    QTest::newRow("Vorname") << points << 0 << "Vorname"
                             << "Jörg";
    QTest::newRow("Verein") << points << 1 << "Verein"
                            << "TSV <Nord>";
    QTest::newRow("Klasse") << points << 2 << "Klasse"
                            << "4";
    QTest::newRow("Platz") << points << 1 << "Platz"
                           << "2";
    QTest::newRow("Punkte") << points << 0 << "Punkte"
                            << "180";
    QTest::newRow("Punkte with a fraction") << points << 2 << "Punkte"
                                            << "50,50";
    QTest::newRow("no time for points") << points << 0 << "Zeit"
                                        << "";
    QTest::newRow("time sum") << times << 1 << "Zeit"
                              << "160,00 s";
    QTest::newRow("time sum total") << times << 1 << "Punkte"
                                    << "160,00";
    QTest::newRow("unused field") << points << 0 << "Lauf1"
                                  << "";
}

void TestCupCertificates::values() {
    QFETCH(int, scoring);
    QFETCH(int, index);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    const QList<CertificateFields::Values> all = CupCertificates::collect(
        CupSample::standings(), QStringLiteral("Winter-Cup"),
        static_cast<CupRules::Scoring>(scoring), 3, QStringLiteral("24.01.2027"));
    QCOMPARE(all.size(), 3);
    QCOMPARE(all.at(index).size(), CertificateFields::names().size());
    QVERIFY(all.at(index).contains(field));
    QCOMPARE(all.at(index).value(field), expected);
}

QTEST_GUILESS_MAIN(TestCupCertificates)
#include "tst_cupcertificates.moc"

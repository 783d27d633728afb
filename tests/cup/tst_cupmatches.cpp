#include "cup/CupEntry.h"
#include "cup/CupIdentity.h"
#include "cup/CupMatches.h"

#include <QtTest>

class TestCupMatches : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void normalized_data();
    void normalized();
    void canonicalKeyJoinsConfirmedPairs();
    void answersDoNotDependOnTheOrderOfThePair();
};

void TestCupMatches::normalized_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks and case") << "  Huber   Max "
                                     << "huber max";
    QTest::newRow("lower umlauts") << "Jörg Müller Bär"
                                   << "joerg mueller baer";
    QTest::newRow("upper umlauts") << "ÖZTÜRK ÄNNE"
                                   << "oeztuerk aenne";
    QTest::newRow("sharp s") << "Großmann"
                             << "grossmann";
    QTest::newRow("spelt out stays") << "Mueller"
                                     << "mueller";
}

void TestCupMatches::normalized() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(CupIdentity::normalized(text), expected);
}

void TestCupMatches::canonicalKeyJoinsConfirmedPairs() {
    const CupIdentity maier{"Maier", "Jörg", "SV Süd"};
    const CupIdentity meier{"Meier", "Jörg", "SV Sued"};
    const CupIdentity mayer{"Mayer", "Jörg", "SV Süd"};
    const CupIdentity other{"Huber", "Max", "TSV"};
    CupEntry entry;
    entry.name = " MÜLLER ";
    entry.firstName = "Jörg";
    entry.club = "SV  Süd";
    QCOMPARE(CupIdentity::of(entry).key(), QString("mueller\x1fjoerg\x1fsv sued"));

    CupMatches matches;
    QCOMPARE(matches.canonicalKey(meier), QString("meier\x1fjoerg\x1fsv sued"));
    matches.confirm(meier, mayer);
    matches.confirm(mayer, maier);
    // All three are one competitor now, under the smallest of their keys.
    const QString smallest("maier\x1fjoerg\x1fsv sued");
    QCOMPARE(matches.canonicalKey(maier), smallest);
    QCOMPARE(matches.canonicalKey(meier), smallest);
    QCOMPARE(matches.canonicalKey(mayer), smallest);
    QCOMPARE(matches.canonicalKey(other), QString("huber\x1fmax\x1ftsv"));

    matches.forget(maier, mayer);
    QCOMPARE(matches.canonicalKey(maier), QString("maier\x1fjoerg\x1fsv sued"));
    QCOMPARE(matches.canonicalKey(mayer), QString("mayer\x1fjoerg\x1fsv sued"));
}

void TestCupMatches::answersDoNotDependOnTheOrderOfThePair() {
    const CupIdentity a{"Maier", "Jörg", "SV Süd"};
    const CupIdentity b{"Meier", "Jörg", "SV Süd"};
    CupMatches matches;
    matches.reject(a, b);
    QVERIFY(matches.isRejected(b, a));
    QVERIFY(!matches.isConfirmed(a, b));
    matches.confirm(b, a); // changes the answer
    QVERIFY(matches.isConfirmed(a, b));
    QVERIFY(!matches.isRejected(a, b));
    matches.confirm(a, b);
    QCOMPARE(matches.confirmed().size(), 1);
    matches.forget(b, a);
    QVERIFY(!matches.isConfirmed(a, b));
    QVERIFY(matches.confirmed().isEmpty());
    QVERIFY(matches.rejected().isEmpty());
}

QTEST_GUILESS_MAIN(TestCupMatches)
#include "tst_cupmatches.moc"

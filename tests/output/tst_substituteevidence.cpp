#include "output/SubstituteEvidence.h"

#include <QTest>

// The evidence page's arithmetic: what it shows adds up in the last digit it shows.
class TestSubstituteEvidence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sumAddsUp_data();
    void sumAddsUp();
};

void TestSubstituteEvidence::sumAddsUp_data() {
    QTest::addColumn<qint64>("base");
    QTest::addColumn<QList<qint64>>("differences"); // A-B of the runs after it
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("mean");
    QTest::newRow("four decimals do") << qint64(31'455'000) << QList<qint64>{12'000, 13'400}
                                      << "31,4550 s +0,0127 s = 31,4677 s, auf Hundertstel "
                                         "abgeschnitten: <b>31,46 s"
                                      << "+0,0127 s";
    QTest::newRow("five are needed") << qint64(1'501'750) << QList<qint64>{6'050}
                                     << "1,50175 s +0,00605 s = 1,50780 s, auf Hundertstel "
                                        "abgeschnitten: <b>1,50 s"
                                     << "+0,00605 s";
    QTest::newRow("a mean of thirds") << qint64(2'000'000) << QList<qint64>{1'000, 1'000, 1'001}
                                      << "2,000000 s +0,001000 s = 2,001000 s, auf Hundertstel "
                                         "abgeschnitten: <b>2,00 s"
                                      << "+0,001000 s";
    QTest::newRow("negative mean cut down")
        << qint64(2'000'000) << QList<qint64>{-1'000, -1'000, -1'001}
        << "2,000000 s -0,001001 s = 1,998999 s, auf Hundertstel abgeschnitten: <b>1,99 s"
        << "-0,001001 s";
}

void TestSubstituteEvidence::sumAddsUp() {
    QFETCH(qint64, base);
    QFETCH(QList<qint64>, differences);
    QFETCH(QString, mean);
    SubstituteEvidence::Input input;
    input.runs.push_back({std::nullopt, base});
    for (qint64 difference : differences)
        input.runs.push_back({30'000'000 + difference, 30'000'000});
    const auto calculation = SubstituteTime::calculate(input.runs, 0, base);
    QVERIFY(calculation);
    input.calculation = *calculation;
    const QString html = SubstituteEvidence::html(input);
    QFETCH(QString, sum);
    QVERIFY2(html.contains(QStringLiteral("Ersatzzeit = ") + sum), qPrintable(html));
    QVERIFY2(html.contains(mean), qPrintable(html));
    QVERIFY(SubstituteEvidence::summary(input).contains(mean));
}

QTEST_MAIN(TestSubstituteEvidence)
#include "tst_substituteevidence.moc"

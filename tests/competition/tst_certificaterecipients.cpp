#include "competition/CertificateRecipients.h"
#include "competition/StageDerivation.h"
#include "mock/CertificateSample.h"

#include <QTest>

Q_DECLARE_METATYPE(CertificateChoice)

// Who gets a certificate, in which order, and what its placeholders read.
class TstCertificateRecipients : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whoAndOrder_data();
    void whoAndOrder();
    void placeholderValues_data();
    void placeholderValues();
    void withoutPlace_data();
    void withoutPlace();
    void everyPlaceholderIsFilled();
    void emptyCompetitionGivesNone();
};

namespace {

using R = CertificateChoice::Recipients;

CertificateChoice
choiceOf(R who, int places = 3, bool fromFinal = true, bool participation = true,
         CertificateChoice::Order order = CertificateChoice::Order::ClassAndPlace) {
    CertificateChoice c;
    c.recipients = who;
    c.places = places;
    c.bestFromFinal = fromFinal;
    c.participation = participation;
    c.order = order;
    c.title = QStringLiteral("Cup");
    c.date = QStringLiteral("12.07.2025");
    return c;
}

// "place first-name name" of each certificate, or the team's name for team certificates.
QStringList summary(const QList<CertificateFields::Values>& list) {
    QStringList lines;
    for (const auto& v : list) {
        const QString who = v.value("Team").isEmpty() ? v.value("Vorname") + u' ' + v.value("Name")
                                                      : v.value("Team");
        lines.append(v.value("Platz") + u' ' + who);
    }
    return lines;
}

} // namespace

void TstCertificateRecipients::whoAndOrder_data() {
    QTest::addColumn<CertificateChoice>("choice");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("heats, shared place, error row last in its class")
        << choiceOf(R::HeatResults)
        << QStringList{"1 Jürgen Müller", "1 Anna <Weber>",         "3 Ömer Groß",
                       "4 Sina Sommer",   "Teilnahme Fritz Fehler", "1 Karl Klein"};
    QTest::newRow("heats, without a place no certificate")
        << choiceOf(R::HeatResults, 3, true, false)
        << QStringList{"1 Jürgen Müller", "1 Anna <Weber>", "3 Ömer Groß", "4 Sina Sommer",
                       "1 Karl Klein"};
    QTest::newRow("heats by start number")
        << choiceOf(R::HeatResults, 3, true, true, CertificateChoice::Order::StartNumber)
        << QStringList{"1 Jürgen Müller",        "1 Anna <Weber>", "3 Ömer Groß",
                       "Teilnahme Fritz Fehler", "1 Karl Klein",   "4 Sina Sommer"};
    QTest::newRow("final, finalist without both runs takes part")
        << choiceOf(R::FinalResults)
        << QStringList{"1 Ömer Groß", "1 Jürgen Müller", "3 Anna <Weber>", "Teilnahme Sina Sommer",
                       "1 Karl Klein"};
    QTest::newRow("best 1 of each class in the final: both who share it")
        << choiceOf(R::BestPerClass, 1)
        << QStringList{"1 Ömer Groß", "1 Jürgen Müller", "1 Karl Klein"};
    QTest::newRow("best 3 of each class in the heats")
        << choiceOf(R::BestPerClass, 3, false)
        << QStringList{"1 Jürgen Müller", "1 Anna <Weber>", "3 Ömer Groß", "1 Karl Klein"};
    QTest::newRow("best team; an incomplete one is not ranked")
        << choiceOf(R::BestTeams, 2) << QStringList{"1 SC Rutsch & Co"};
}

void TstCertificateRecipients::whoAndOrder() {
    QFETCH(CertificateChoice, choice);
    QFETCH(QStringList, expected);
    Competition c(TimeFormat(1, u','));
    CertificateSample::fill(c);
    QCOMPARE(summary(CertificateRecipients::collect(c, choice)), expected);
}

void TstCertificateRecipients::placeholderValues_data() {
    QTest::addColumn<CertificateChoice>("choice");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    CertificateChoice heats = choiceOf(R::HeatResults);
    CertificateChoice finalTime = heats;
    finalTime.time = CertificateChoice::Time::FinalTotal;
    const CertificateChoice team = choiceOf(R::BestTeams, 1);
    QTest::newRow("name with umlaut") << heats << 1 << 0 << "Name"
                                      << "Müller";
    QTest::newRow("club with &") << heats << 1 << 0 << "Verein"
                                 << "SC Rutsch & Co";
    QTest::newRow("title") << heats << 1 << 0 << "Titel"
                           << "Cup";
    QTest::newRow("date") << heats << 1 << 0 << "Datum"
                          << "12.07.2025";
    QTest::newRow("class") << heats << 1 << 5 << "Klasse"
                           << "2";
    QTest::newRow("heat total") << heats << 1 << 1 << "Zeit"
                                << "20,00 s";
    QTest::newRow("final total looked up") << finalTime << 1 << 1 << "Zeit"
                                           << "40,50 s";
    QTest::newRow("final total of a non-finisher") << finalTime << 1 << 3 << "Zeit"
                                                   << "";
    QTest::newRow("runs from the start list") << heats << 1 << 1 << "Lauf2"
                                              << "11,00 s";
    QTest::newRow("final run") << heats << 1 << 1 << "Lauf5"
                               << "10,50 s";
    QTest::newRow("a free run reads empty") << heats << 1 << 4 << "Lauf2"
                                            << "";
    QTest::newRow("heat total in hundredths") << heats << 0 << 1 << "Zeit"
                                              << "20,00 s";
    QTest::newRow("final total in hundredths") << finalTime << 0 << 1 << "Zeit"
                                               << "40,50 s";
    QTest::newRow("run in hundredths") << heats << 0 << 1 << "Lauf2"
                                       << "11,00 s";
    QTest::newRow("no heat total without a place") << heats << 1 << 4 << "Zeit"
                                                   << "";
    QTest::newRow("no team on a personal one") << heats << 1 << 0 << "Team"
                                               << "";
    QTest::newRow("team name") << team << 1 << 0 << "Team"
                               << "SC Rutsch & Co";
    QTest::newRow("members first name first, fastest first")
        << team << 1 << 0 << "Mitglieder"
        << "Jürgen Müller, Anna <Weber>, Sina Sommer";
    QTest::newRow("team total like a time") << team << 1 << 0 << "Summe"
                                            << "64,00 s";
    QTest::newRow("team total in hundredths") << team << 0 << 0 << "Summe"
                                              << "64,00 s";
    QTest::newRow("team time is its total") << team << 1 << 0 << "Zeit"
                                            << "64,00 s";
    QTest::newRow("no club on a team's") << team << 1 << 0 << "Verein"
                                         << "";
    QTest::newRow("no class on a team's") << team << 1 << 0 << "Klasse"
                                          << "";
}

void TstCertificateRecipients::placeholderValues() {
    QFETCH(CertificateChoice, choice);
    QFETCH(int, format);
    QFETCH(int, index);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    Competition c(TimeFormat(format, u','));
    CertificateSample::fill(c);
    QCOMPARE(CertificateRecipients::collect(c, choice).value(index).value(field), expected);
}

void TstCertificateRecipients::withoutPlace_data() {
    QTest::addColumn<bool>("participation");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no certificate")
        << false << QStringList{"1 Ida Eins 20,00 s", "2 Udo Zwei 22,00 s"};
    QTest::newRow("participation for who slid")
        << true
        << QStringList{"1 Ida Eins 20,00 s", "2 Udo Zwei 22,00 s", "Teilnahme Dora Aus DNF",
                       "Teilnahme Dirk Raus DSQ", "Teilnahme Fritz Fehler "};
}

void TstCertificateRecipients::withoutPlace() {
    QFETCH(bool, participation);
    QFETCH(QStringList, expected);
    Competition c(TimeFormat(0, u','));
    const QList<QStringList> rows{{"1", "Eins", "Ida", "A", "1", "", "1000", "1000", "1100"},
                                  {"2", "Zwei", "Udo", "A", "1", "", "1100", "1100", "1200"},
                                  {"3", "Aus", "Dora", "A", "1", "", "1000", "DNF", "DNF"},
                                  {"4", "Raus", "Dirk", "A", "1", "", "1000", "DSQ", "1000"},
                                  {"5", "Nie", "Nina", "A", "1", "", "DNS", "DNS", "DNS"},
                                  {"6", "Leer", "Lea", "A", "1", "", "DNS", "", "-"},
                                  {"7", "Fehler", "Fritz", "A", "1", "", "1000", "-", ""}};
    for (const QStringList& row : rows)
        c.heatStartList().appendRow(row);
    StageDerivation(c).deriveAll();
    QStringList got;
    for (const auto& v :
         CertificateRecipients::collect(c, choiceOf(R::HeatResults, 3, true, participation)))
        got.append(
            QStringList{v.value("Platz"), v.value("Vorname"), v.value("Name"), v.value("Zeit")}
                .join(u' '));
    QCOMPARE(got, expected);
}

void TstCertificateRecipients::everyPlaceholderIsFilled() {
    Competition c(TimeFormat(1, u','));
    CertificateSample::fill(c);
    for (const auto& values : CertificateRecipients::collect(c, choiceOf(R::BestTeams, 9)))
        QCOMPARE(QStringList(values.keys()).size(), CertificateFields::names().size());
}

void TstCertificateRecipients::emptyCompetitionGivesNone() {
    Competition c(TimeFormat(1, u','));
    StageDerivation(c).deriveAll();
    for (R who : {R::HeatResults, R::FinalResults, R::BestPerClass, R::BestTeams})
        QVERIFY(CertificateRecipients::collect(c, choiceOf(who)).isEmpty());
}

QTEST_GUILESS_MAIN(TstCertificateRecipients)
#include "tst_certificaterecipients.moc"

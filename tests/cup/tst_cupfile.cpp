#include "cup/CupFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

CupEntry entry(const QString& cls, int place, const QString& status, int total,
               const QString& number, const QString& name, bool finalist) {
    CupEntry e;
    e.cls = cls;
    e.place = place;
    e.status = status;
    e.total = total;
    e.number = number;
    e.name = name;
    e.firstName = QStringLiteral("Jörg");
    e.club = QStringLiteral("SV Süd");
    e.finalist = finalist;
    return e;
}

// Every field away from its default, and texts with what a line cannot hold.
CupDefinition sampleCup(const QString& outsideFile) {
    CupDefinition cup;
    cup.name = QStringLiteral("Winter\tcup 2027");
    cup.rules.scoring = CupRules::Scoring::Formula;
    cup.rules.pointsTable = {100, 80, 60};
    cup.rules.formula = QStringLiteral("550 - 250 * t / best");
    cup.rules.cutOffPercent = 12.5;
    cup.rules.statusRule = CupRules::StatusRule::FixedPoints;
    cup.rules.statusValue = 1250;
    cup.rules.bestOf = 3;
    cup.rules.minStarts = 2;
    cup.rules.tieBreaks = {CupRules::TieBreak::LatestRace, CupRules::TieBreak::Countback};
    cup.rules.clubMembers = 4;
    cup.rules.clubScope = CupRules::ClubScope::AllClasses;
    cup.rules.plannedRaces = 6;
    CupRace first;
    first.file = QStringLiteral("rennen/lauf1.txt");
    first.sha256 = QByteArray(64, 'a');
    first.title = QStringLiteral("Lauf 1 Oberstdorf");
    first.weightPercent = 200;
    first.voidedClasses.insert(QStringLiteral("3"), QStringLiteral("Sturm\nund Regen"));
    first.entries = {entry("1", 1, "", 2010, "7", "Maier", true),
                     entry("1", 0, "o.E.", 0, "8", "Huber", false)};
    CupRace second;
    second.file = outsideFile;
    second.title = QStringLiteral("Lauf 2");
    cup.races = {first, second};
    cup.matches.confirm({"Maier", "Jörg", "SV Süd"}, {"Meier", "Jörg", "SV Sued"});
    cup.matches.reject({"Huber", "Max", ""}, {"Hubert", "Max", ""});
    return cup;
}

} // namespace

class TestCupFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writtenAsDocumented();
    void roundTrip();
    void broken_data();
    void broken();
    void racePaths_data();
    void racePaths();
    void saveAndLoad();
};

void TestCupFile::writtenAsDocumented() {
    const QString cupFile = QStringLiteral("/daten/cup/cup.velmoracup");
    const QString expected =
        "Velmora-Cup 1\n"
        "Name\tWinter cup 2027\n"
        "Wertung\tFormel\n"
        "Punkte\t100-80-60\n"
        "Formel\t550 - 250 * t / best\n"
        "Kappung\t12,5\n"
        "Statusregel\tfeste Punkte\n"
        "Statuswert\t12,5\n"
        "Beste\t3\n"
        "Mindeststarts\t2\n"
        "Gleichstand\tletzter Lauf, bessere Plätze\n"
        "Vereinsmitglieder\t4\n"
        "Vereinswertung\talle Klassen\n"
        "Geplant\t6\n"
        "\n"
        "Lauf\trennen/lauf1.txt\n"
        "Prüfsumme\taaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\n"
        "Titel\tLauf 1 Oberstdorf\n"
        "Gewichtung\t200\n"
        "Annulliert\t3\tSturm und Regen\n"
        "Eintrag\t1\t1\t\t2010\t7\tMaier\tJörg\tSV Süd\tja\n"
        "Eintrag\t1\t0\to.E.\t0\t8\tHuber\tJörg\tSV Süd\tnein\n"
        "\n"
        "Lauf\t/anderswo/lauf2.txt\n"
        "Prüfsumme\t\n"
        "Titel\tLauf 2\n"
        "Gewichtung\t100\n"
        "\n"
        "Bestätigt\tMaier\tJörg\tSV Süd\tMeier\tJörg\tSV Sued\n"
        "Abgelehnt\tHuber\tMax\t\tHubert\tMax\t\n";
    const QByteArray bytes = CupFile::bytes(sampleCup("/anderswo/lauf2.txt"), cupFile);
    QCOMPARE(QString::fromUtf8(bytes), expected);
}

void TestCupFile::roundTrip() {
    const QString cupFile = QStringLiteral("/daten/cup/cup.velmoracup");
    const QByteArray bytes = CupFile::bytes(sampleCup("/daten/cup/lauf2.txt"), cupFile);
    QString error;
    const auto cup = CupFile::parse(bytes, &error);
    QVERIFY2(cup, qPrintable(error));
    QCOMPARE(CupFile::bytes(*cup, cupFile), bytes);
    QCOMPARE(cup->races.at(1).file, QString("lauf2.txt")); // beside the cup file
    QCOMPARE(cup->rules.cutOffPercent, std::optional<double>(12.5));
    QVERIFY(cup->matches.isConfirmed({"Meier", "Jörg", "SV Sued"}, {"Maier", "Jörg", "SV Süd"}));
    QVERIFY(cup->matches.isRejected({"Hubert", "Max", ""}, {"Huber", "Max", ""}));
}

void TestCupFile::broken_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray() << "keine Cup-Datei (erwartet „Velmora-Cup 1“)";
    QTest::newRow("other file") << QByteArray("Nr.\tName\t\n")
                                << "Zeile 1: keine Cup-Datei (erwartet „Velmora-Cup 1“)";
    QTest::newRow("newer version")
        << QByteArray("Velmora-Cup 2\n")
        << "Zeile 1: Version 2 der Cup-Datei ist neuer als dieses Programm (es liest Version 1)";
    QTest::newRow("not utf-8")
        << QByteArray("Velmora-Cup 1\nName\tM\xfcller\n")
        << "Zeile 2: kein Text in UTF-8 (die Datei ist keine Cup-Datei oder wurde in "
           "einer anderen Kodierung gespeichert)";
    QTest::newRow("unknown key")
        << QByteArray("Velmora-Cup 1\nName\tX\n\nStreichergebnis\t2\n")
        << "Zeile 4: unbekannter Eintrag „Streichergebnis“ (eine Cup-Datei einer neueren "
           "Version?)";
    QTest::newRow("unknown scoring") << QByteArray("Velmora-Cup 1\nWertung\tMedaillen\n")
                                     << "Zeile 2: unbekannte Wertung „Medaillen“";
    QTest::newRow("twice") << QByteArray("Velmora-Cup 1\nBeste\t2\nBeste\t3\n")
                           << "Zeile 3: „Beste“ steht doppelt";
    QTest::newRow("three decimals") << QByteArray("Velmora-Cup 1\nStatuswert\t1,234\n")
                                    << "Zeile 2: Statuswert „1,234“ ist keine Zahl mit höchstens "
                                       "zwei Nachkommastellen";
    QTest::newRow("tie word") << QByteArray("Velmora-Cup 1\nGleichstand\tletzter Lauf, Los\n")
                              << "Zeile 2: unbekannte Entscheidung bei Gleichstand „Los“";
    QTest::newRow("race key first")
        << QByteArray("Velmora-Cup 1\nTitel\tLauf 1\n") << "Zeile 2: „Titel“ vor dem ersten „Lauf“";
    QTest::newRow("short entry")
        << QByteArray("Velmora-Cup 1\nLauf\ta.txt\nEintrag\t1\t1\t\t2010\t7\tMaier\n")
        << "Zeile 3: „Eintrag“ verlangt 9 Felder (Kl., Platz, Status, G-Zeit, Nr., Name, "
           "Vorname, Verein, Finale), durch Tabulatoren getrennt; hier sind es 6";
    QTest::newRow("status")
        << QByteArray("Velmora-Cup 1\nLauf\ta.txt\nEintrag\t1\t0\tweg\t0\t7\tM\tJ\tV\tnein\n")
        << "Zeile 3: unbekannter Status „weg“ (erlaubt: DNS, DNF, DSQ, o.E. oder nichts)";
    QTest::newRow("pair") << QByteArray("Velmora-Cup 1\nBestätigt\tMaier\tJörg\tSV\tMAIER\tJörg\t"
                                        "SV\n")
                          << "Zeile 2: „Bestätigt“ nennt zweimal denselben Teilnehmer";
}

void TestCupFile::broken() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QString message;
    QVERIFY(!CupFile::parse(bytes, &message));
    QCOMPARE(message, error);
}

void TestCupFile::racePaths_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("stored");
    QTest::newRow("beside") << "/daten/cup/lauf.txt"
                            << "lauf.txt";
    QTest::newRow("below") << "/daten/cup/2027/lauf.txt"
                           << "2027/lauf.txt";
    QTest::newRow("above") << "/daten/lauf.txt"
                           << "/daten/lauf.txt";
    QTest::newRow("elsewhere") << "/media/stick/lauf.txt"
                               << "/media/stick/lauf.txt";
}

void TestCupFile::racePaths() {
    QFETCH(QString, chosen);
    QFETCH(QString, stored);
    const QString cupFile = QStringLiteral("/daten/cup/cup.velmoracup");
    CupDefinition cup;
    CupRace race;
    race.file = chosen;
    cup.races.append(race);
    auto read = CupFile::parse(CupFile::bytes(cup, cupFile));
    QVERIFY(read);
    QCOMPARE(read->races.at(0).file, stored);
    QCOMPARE(CupFile::racePath(read->races.at(0), cupFile), chosen);
    CupFile::makeAbsolute(*read, cupFile);
    QCOMPARE(read->races.at(0).file, chosen);
}

void TestCupFile::saveAndLoad() {
    QTemporaryDir dir;
    const QString name = dir.filePath("cup.velmoracup");
    const CupDefinition cup = sampleCup(dir.filePath("lauf2.txt"));
    QCOMPARE(CupFile::save(cup, name), std::nullopt);
    QString error;
    const auto loaded = CupFile::load(name, &error);
    QVERIFY2(loaded, qPrintable(error));
    QCOMPARE(CupFile::bytes(*loaded, name), CupFile::bytes(cup, name));

    QVERIFY(!CupFile::load(dir.path(), &error));
    QCOMPARE(error, dir.path() + " ist keine gewöhnliche Datei");
    QVERIFY(!CupFile::load(dir.filePath("fehlt"), &error));
    QCOMPARE(error, "Datei nicht gefunden: " + dir.filePath("fehlt"));
    const QString missingFolder = dir.filePath("fehlt/cup.velmoracup");
    const auto failure = CupFile::save(cup, missingFolder);
    QVERIFY(failure);
    QVERIFY2(failure->startsWith("Die Cup-Datei " + missingFolder + " ließ sich nicht speichern ("),
             qPrintable(*failure));
}

QTEST_GUILESS_MAIN(TestCupFile)
#include "tst_cupfile.moc"

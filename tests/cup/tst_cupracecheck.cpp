#include "cup/CupDefinition.h"
#include "cup/CupRaceCheck.h"
#include "cup/CupRaceReader.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kHeader("Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\tZeit3\t"
                         "Zeit4\tZeit5\t\r\n");

QByteArray oneCompetitor(const QByteArray& name, const QByteArray& runs) {
    return kHeader + "1\t" + name + "\tMax\tTSV\t5\t \t" + runs + "\t \t \t\r\n";
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestCupRaceCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void changedAndMissingFiles();
};

void TestCupRaceCheck::changedAndMissingFiles() {
    QTemporaryDir dir;
    const QString cupFile = dir.filePath("cup.velmoracup");
    const QByteArray first = oneCompetitor("Huber", "1000\t1000\t1000");
    QVERIFY(write(dir.filePath("lauf1.txt"), first));
    QVERIFY(write(dir.filePath("lauf2.txt"), first));

    CupDefinition cup;
    for (const char* file : {"lauf1.txt", "lauf2.txt", "lauf3.txt"}) {
        CupRace race;
        race.file = QString::fromLatin1(file);
        race.sha256 = CupRaceReader::sha256Hex(first);
        race.title = QStringLiteral("Titel");
        race.weightPercent = 200;
        race.entries = CupRaceReader::fromProtocolBytes(first);
        cup.races.append(race);
    }
    // Race 2 is run again after it was added: Huber's heat is faster now.
    QVERIFY(write(dir.filePath("lauf2.txt"), oneCompetitor("Huber", "900\t900\t1000")));

    QList<CupRaceCheck::Result> results = CupRaceCheck::check(cup, cupFile);
    QCOMPARE(results.size(), 3);
    QCOMPARE(results.at(0).state, CupRaceCheck::Result::State::Unchanged);
    QCOMPARE(results.at(0).message, QString());
    QCOMPARE(results.at(1).state, CupRaceCheck::Result::State::Changed);
    QCOMPARE(results.at(1).message, QString("Lauf 2 wurde nach dem Hinzufügen geändert"));
    QCOMPARE(results.at(2).state, CupRaceCheck::Result::State::Unreadable);
    QCOMPARE(results.at(2).message, "Lauf 3: Datei nicht gefunden: " + dir.filePath("lauf3.txt"));
    // The results kept are those read when the race was added.
    QCOMPARE(cup.races.at(1).entries.at(0).total, 2000);

    QVERIFY(CupRaceCheck::reread(cup.races[1], cupFile));
    QCOMPARE(cup.races.at(1).entries.size(), 1);
    QCOMPARE(cup.races.at(1).entries.at(0).total, 1800);
    QCOMPARE(cup.races.at(1).weightPercent, 200);
    QCOMPARE(CupRaceCheck::check(cup, cupFile).at(1).state, CupRaceCheck::Result::State::Unchanged);

    QString error;
    QVERIFY(!CupRaceCheck::reread(cup.races[2], cupFile, &error));
    QCOMPARE(error, "Datei nicht gefunden: " + dir.filePath("lauf3.txt"));
    QCOMPARE(cup.races.at(2).entries.at(0).total, 2000);
}

QTEST_GUILESS_MAIN(TestCupRaceCheck)
#include "tst_cupracecheck.moc"

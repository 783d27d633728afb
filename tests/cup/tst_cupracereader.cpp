#include "cup/CupRaceReader.h"

#include <QTemporaryDir>
#include <QtTest>

// One race written as the program's protocol file: class 1 reaches the final, class 5 has
// none. Run cells in both notations, as a file whose setting was changed half-way has them.
namespace {

QByteArray protocol() {
    const QList<QStringList> rows{
        {"Nr.", "Name", "Vorname", "Verein/Ort", "Kl.", "Meister", "Zeit1", "Zeit2", "Zeit3",
         "Zeit4", "Zeit5"},
        // Heat 1000+1010 = 2010, final 4010: first of the final.
        {"1", "Adler", "Anna", "SV A", "1", "", "1000", "1010", "1020", "1000", "1000"},
        // Heat 990+995 = 1985, final 4085: second.
        {"2", "Berger", "Bea", "SV B", "1", "", "9,90", "9,95", "10,00", "10,50", "10,50"},
        // Heat 2200, did not finish the final: without a place.
        {"3", "Conrad", "Carl", "SV C", "1", "", "1100", "1100", "1100", "DNF", ""},
        // Heat 2400, one final run missing: placed by the heat, after the finalists.
        {"4", "Dorn", "Dieter", "SV D", "1", "", "1200", "1200", "1200", "1000", ""},
        {"5", "Eck", "Emil", "SV E", "1", "", "DSQ", "1000", "1000", "", ""},
        {"6", "Fuchs", "Franz", "SV F", "1", "", "1000", "", "", "", ""},
        {"7", "Gärtner", "Gabi", "SV G", "5", "", "10,00", "10,00", "10,00", "", ""},
        {"8", "Haas", "Hans", "SV H", "5", "", "1000", "1000", "1000", "", ""},
        {"9", "Igel", "Ida", "SV I", "5", "", "1100", "1100", "1100", "", ""},
        {"10", "Jung", "Jan", "SV J", "5", "", "DNS", "DNS", "1000", "", ""},
        {"", "", "", "", "", "", "", "", "", "", ""},
    };
    QByteArray bytes;
    for (const QStringList& row : rows) {
        for (const QString& cell : row)
            bytes += (cell.isEmpty() ? QString(" ") : cell).toLatin1() + '\t';
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace

class TestCupRaceReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entries_data();
    void entries();
    void fileWithoutCompetitors();
    void fromFile();
};

void TestCupRaceReader::entries_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("total");
    QTest::addColumn<bool>("finalist");
    QTest::newRow("final winner") << 0 << "1"
                                  << "1" << 1 << "" << 2010 << true;
    QTest::newRow("final second, seconds notation") << 1 << "2"
                                                    << "1" << 2 << "" << 1985 << true;
    QTest::newRow("incomplete final: after the finalists") << 2 << "4"
                                                           << "1" << 3 << "" << 2400 << false;
    QTest::newRow("state in the final") << 3 << "3"
                                        << "1" << 0 << "DNF" << 2200 << true;
    QTest::newRow("state in the heat") << 4 << "5"
                                       << "1" << 0 << "DSQ" << 0 << false;
    QTest::newRow("incomplete heat") << 5 << "6"
                                     << "1" << 0 << "o.E." << 0 << false;
    QTest::newRow("no final class") << 6 << "7"
                                    << "5" << 1 << "" << 2000 << false;
    QTest::newRow("equal total shares the place") << 7 << "8"
                                                  << "5" << 1 << "" << 2000 << false;
    QTest::newRow("next takes its position") << 8 << "9"
                                             << "5" << 3 << "" << 2200 << false;
    QTest::newRow("two states") << 9 << "10"
                                << "5" << 0 << "DNS" << 0 << false;
}

void TestCupRaceReader::entries() {
    QFETCH(int, index);
    QFETCH(QString, number);
    QFETCH(QString, cls);
    QFETCH(int, place);
    QFETCH(QString, status);
    QFETCH(int, total);
    QFETCH(bool, finalist);
    const QList<CupEntry> entries = CupRaceReader::fromProtocolBytes(protocol());
    QCOMPARE(entries.size(), 10); // the blank row is nobody
    const CupEntry& entry = entries.at(index);
    QCOMPARE(entry.number, number);
    QCOMPARE(entry.cls, cls);
    QCOMPARE(entry.place, place);
    QCOMPARE(entry.status, status);
    QCOMPARE(entry.total, total);
    QCOMPARE(entry.finalist, finalist);
}

void TestCupRaceReader::fileWithoutCompetitors() {
    QVERIFY(CupRaceReader::fromProtocolBytes(QByteArray()).isEmpty());
    const QList<CupEntry> entries = CupRaceReader::fromProtocolBytes(protocol());
    QCOMPARE(entries.at(6).name, QString("Gärtner"));
    QCOMPARE(entries.at(6).club, QString("SV G"));
}

void TestCupRaceReader::fromFile() {
    QTemporaryDir dir;
    const QString name = dir.filePath("lauf.txt");
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("abc");
    file.close();
    QString error;
    const auto read = CupRaceReader::fromFile(name, &error);
    QVERIFY(read);
    QCOMPARE(read->sha256,
             QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QVERIFY(read->entries.isEmpty());

    QVERIFY(!CupRaceReader::fromFile(dir.filePath("fehlt.txt"), &error));
    QCOMPARE(error, "Datei nicht gefunden: " + dir.filePath("fehlt.txt"));
    QVERIFY(!CupRaceReader::fromFile(dir.path(), &error));
    QCOMPARE(error, dir.path() + " ist keine gewöhnliche Datei");
}

QTEST_GUILESS_MAIN(TestCupRaceReader)
#include "tst_cupracereader.moc"

#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "mock/ProtocolLoad.h"
#include "output/ProtocolFile.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using FileBytes::readFile;
using FileBytes::writeFile;

using namespace StageTables;

namespace {

QByteArray cp1252(const char* latin) {
    return QByteArray(latin);
}

void headerOnly(CompetitionTable& grid) {
    grid.setRowCells(0, defaultCaptions(HeatStartList));
}

QList<QStringList> tableRows(const CompetitionTable& grid) {
    QList<QStringList> rows;
    for (int r = 0; r < grid.rowsWithHeader(); ++r)
        rows.append(grid.rowCells(r));
    return rows;
}

const QByteArray kDefaultHeader =
    "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\tZeit3\tZeit4\tZeit5\t\r\n";

} // namespace

// The protocol text file: exact bytes written, every reading rule, and failures that leave
// both the file on disk and the table in memory as they were.
class TestProtocolFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultHeaderLine();
    void competitorLine();
    void rowsWithEmptyNrAreSkipped();
    void singleByteCharacters_data();
    void singleByteCharacters();
    void cellsCannotBreakTheFormat();
    void roundTrip();
    void bytesLoadAndSaveUnchanged_data();
    void bytesLoadAndSaveUnchanged();
    void loading_data();
    void loading();
    void emptyFileKeepsHeader();
    void unreadableFileLeavesTableUntouched();
    void headerOnlyLoadsOnlyWhenNothingFollows_data();
    void headerOnlyLoadsOnlyWhenNothingFollows();
    void loadIsOneReset();
    void modifiedFlagFollowsRowCount_data();
    void modifiedFlagFollowsRowCount();
    void readOnlyFolderKeepsOldFile();
    void fullDiskKeepsOldFile();
    void csvOutputLoadsBack();
};

void TestProtocolFile::defaultHeaderLine() {
    CompetitionTable grid(11);
    headerOnly(grid);
    QCOMPARE(ProtocolFile::protocolBytes(grid), kDefaultHeader);
}

void TestProtocolFile::competitorLine() {
    CompetitionTable grid(11);
    headerOnly(grid);
    grid.setRowCells(1, {"12", "Meier", "Anna", "SV Nord", "A", "+", "10,24", "11,02"});
    QCOMPARE(ProtocolFile::protocolBytes(grid),
             kDefaultHeader + "12\tMeier\tAnna\tSV Nord\tA\t+\t10,24\t11,02\t \t \t \t\r\n");
}

void TestProtocolFile::rowsWithEmptyNrAreSkipped() {
    CompetitionTable grid(3);
    grid.setRowsWithHeader(4);
    grid.setRowCells(1, {"", "ohne Nummer", "x"});
    grid.setRowCells(2, {" ", "Leerzeichen", ""});
    grid.setRowCells(3, {"7", "", ""});
    // The header row has no "Nr." caption either, so it is left out as well.
    QCOMPARE(ProtocolFile::protocolBytes(grid), QByteArray(" \tLeerzeichen\t \t\r\n7\t \t \t\r\n"));
}

void TestProtocolFile::singleByteCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("umlauts") << QStringLiteral("ÄÖÜäöüß") << cp1252("\xC4\xD6\xDC\xE4\xF6\xFC\xDF");
    QTest::newRow("euro") << QStringLiteral("€") << cp1252("\x80");
    QTest::newRow("quotes and dash") << QStringLiteral("„–“") << cp1252("\x84\x96\x93");
    QTest::newRow("outside the code page") << QStringLiteral("Łódź")
                                           << cp1252("?\xF3"
                                                     "d?");
    QTest::newRow("emoji is one character") << QStringLiteral("a😀b") << cp1252("a?b");
}

void TestProtocolFile::singleByteCharacters() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    CompetitionTable grid(1);
    grid.setCell(0, 0, text);
    QCOMPARE(ProtocolFile::protocolBytes(grid), bytes + "\t\r\n");
}

void TestProtocolFile::cellsCannotBreakTheFormat() {
    CompetitionTable grid(2);
    grid.setRowCells(0, {"1", QStringLiteral("a\tb\nc\rd") + QChar(0x1A) + u'e'});
    QCOMPARE(ProtocolFile::protocolBytes(grid), QByteArray("1\ta b c d e\t\r\n"));
}

void TestProtocolFile::roundTrip() {
    QTemporaryDir dir;
    const QString path = dir.filePath("runde.txt");
    CompetitionTable original(11);
    headerOnly(original);
    original.setRowsWithHeader(5);
    original.setRowCells(1, {"1", "Müller", "Jörg", "SC Süd", "1", "+", "10,24", "", "9,99"});
    original.setRowCells(2, {"", "ohne", "Nummer"});
    original.setRowCells(3, {"3", "Ünal", "Eva", "TV €uro", "2", "", "12,00", "13,01", "-"});
    original.setRowCells(4, {"4", "Kurz", "", "", "3", "", "", "", "", "", "7,77"});
    QVERIFY(ProtocolFile::SaveProtocolText(original, path));

    CompetitionTable loaded(11);
    QVERIFY(loadProtocol(loaded, path));
    QList<QStringList> expected = {
        defaultCaptions(HeatStartList),
        {"1", "Müller", "Jörg", "SC Süd", "1", "+", "10,24", " ", "9,99", " ", " "},
        {"3", "Ünal", "Eva", "TV €uro", "2", "", "12,00", "13,01", "-", " ", " "},
        {"4", "Kurz", " ", " ", "3", "", " ", " ", " ", " ", "7,77"},
    };
    QCOMPARE(tableRows(loaded), expected);

    // Saved again, the file does not change any more.
    const QString again = dir.filePath("nochmal.txt");
    QVERIFY(ProtocolFile::SaveProtocolText(loaded, again));
    QCOMPARE(readFile(again), readFile(path));
}

void TestProtocolFile::bytesLoadAndSaveUnchanged_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("runs with states") << kDefaultHeader +
                                             "1\tA\tB\tC\t1\t+\t10,24\tDNS\t9,99\tDNF\tDSQ\t\r\n"
                                             "2\tD\tE\tF\t2\t+\tDSQ\t \t \t \t \t\r\n";
    QTest::newRow("written before the states") << kDefaultHeader +
                                                      "1\tA\tB\tC\t1\t+\t10,24\t-\t9,99\t \t \t\r\n"
                                                      "2\tD\tE\tF\t2\t+\tAUS\t \t \t \t7,77\t\r\n";
}

void TestProtocolFile::bytesLoadAndSaveUnchanged() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("alt.txt");
    QVERIFY(writeFile(path, bytes));
    CompetitionTable loaded(11);
    QVERIFY(loadProtocol(loaded, path));
    QCOMPARE(ProtocolFile::protocolBytes(loaded), bytes);
}

void TestProtocolFile::loading_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("rowCount");

    const QByteArray h = kDefaultHeader;
    QTest::newRow("doubled tab") << h + "1\t\tMeier\r\n" << 1 << QStringList{"1", "Meier"} << 2;
    QTest::newRow("leading tab") << h + "\t1\tMeier\r\n"
                                 << 1 << QStringList{" ", "1", "Meier"} << 2;
    QTest::newRow("semicolons") << h + "1;;Meier\r\n" << 1 << QStringList{"1", " ", "Meier"} << 2;
    QTest::newRow("trailing semicolon") << h + "1;Meier;\r\n"
                                        << 1 << QStringList{"1", "Meier"} << 2;
    QTest::newRow("tab wins over semicolon") << h + "1;2\tMeier\r\n"
                                             << 1 << QStringList{"1;2", "Meier"} << 2;
    QTest::newRow("more than 11 fields")
        << h + "1\t2\t3\t4\t5\t+\t7\t8\t9\t10\t11\t12\t13\t\r\n"
        << 1 << QStringList{"1", "2", "3", "4", "5", "+", "7", "8", "9", "10", "11"} << 2;
    QTest::newRow("LF line ends") << QByteArray("Nr.\tName\n5\tA\n6\tB") << 2
                                  << QStringList{"6", "B"} << 3;
    QTest::newRow("lone CR ends a line") << h + "1\tA\rB\r\n" << 2 << QStringList{"B"} << 3;
    QTest::newRow("lone CR line ends")
        << QByteArray("Nr.\tName\r5\tA\r6\tB\r") << 2 << QStringList{"6", "B"} << 3;
    QTest::newRow("mixed line ends")
        << h + "1\tA\r\n2\tB\n3\tC\r" << 3 << QStringList{"3", "C"} << 4;
    QTest::newRow("CR before CR LF is a blank line") << h + "1\tA\r\r\n2\tB\r\n"
                                                     << 2 << QStringList{} << 4;
    QTest::newRow("blank line in the middle") << h + "1\tA\r\n\r\n3\tC\r\n"
                                              << 2 << QStringList{} << 4;
    QTest::newRow("row after a blank line") << h + "1\tA\r\n\r\n3\tC\r\n"
                                            << 3 << QStringList{"3", "C"} << 4;
    QTest::newRow("end-of-file byte") << h + "1\tA\r\n\x1A"
                                             "2\tB\r\n"
                                      << 1 << QStringList{"1", "A"} << 2;
    QTest::newRow("no header line")
        << QByteArray("1\tMeier\tAnna\t\r\n2\tSchulz\t\r\n") << 0
        << QStringList{"1",     "Meier", "Anna",  "Verein/Ort", "Kl.",  "Meister",
                       "Zeit1", "Zeit2", "Zeit3", "Zeit4",      "Zeit5"}
        << 2;
    QTest::newRow("blank header captions")
        << QByteArray("Nr.\t \tVorname\t\x01\r\n") << 0
        << QStringList{"Nr.",   "Name",  "Vorname", "Verein/Ort", "Kl.",  "Meister",
                       "Zeit1", "Zeit2", "Zeit3",   "Zeit4",      "Zeit5"}
        << 2;
    QTest::newRow("own header caption kept")
        << QByteArray(" Start-Nr \r\n") << 0
        << QStringList{" Start-Nr ", "Name",  "Vorname", "Verein/Ort", "Kl.",  "Meister",
                       "Zeit1",      "Zeit2", "Zeit3",   "Zeit4",      "Zeit5"}
        << 2;
    QTest::newRow("Meister x emptied") << h + "1\tA\tB\tC\t1\tx\r\n"
                                       << 1 << QStringList{"1", "A", "B", "C", "1", ""} << 2;
    QTest::newRow("Meister plus between blanks kept")
        << h + "1\tA\tB\tC\t1\t + \r\n"
        << 1 << QStringList{"1", "A", "B", "C", "1", " + "} << 2;
    QTest::newRow("Meister two pluses emptied")
        << h + "1\tA\tB\tC\t1\t++\r\n"
        << 1 << QStringList{"1", "A", "B", "C", "1", ""} << 2;
    QTest::newRow("Meister blank emptied")
        << h + "1\tA\tB\tC\t1\t \tx\r\n"
        << 1 << QStringList{"1", "A", "B", "C", "1", "", "x"} << 2;
    QTest::newRow("Windows-1252 bytes") << h + "1\tM\xFCller\t\x80\r\n"
                                        << 1 << QStringList{"1", "Müller", "€"} << 2;
}

void TestProtocolFile::loading() {
    QFETCH(QByteArray, file);
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    QFETCH(int, rowCount);
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    QVERIFY(writeFile(path, file));

    CompetitionTable grid(11);
    headerOnly(grid);
    grid.setRowsWithHeader(7);
    grid.setRowCells(1, {"99", "alt", "alt", "alt"});
    QVERIFY(loadProtocol(grid, path));
    QCOMPARE(grid.rowsWithHeader(), rowCount);
    cells.resize(11);
    QCOMPARE(grid.rowCells(row), cells);
}

void TestProtocolFile::emptyFileKeepsHeader() {
    QTemporaryDir dir;
    const QString path = dir.filePath("leer.txt");
    QVERIFY(writeFile(path, QByteArray()));
    CompetitionTable grid(11);
    QStringList header = defaultCaptions(HeatStartList);
    header[1] = QStringLiteral("Familienname");
    header[2] = QString();
    grid.setRowCells(0, header);
    grid.setRowsWithHeader(4);
    grid.setRowCells(1, {"1", "weg"});
    QVERIFY(loadProtocol(grid, path));
    header[2] = QStringLiteral("Vorname");
    QCOMPARE(tableRows(grid), (QList<QStringList>{header, QStringList(11)}));
}

void TestProtocolFile::unreadableFileLeavesTableUntouched() {
    QTemporaryDir dir;
    CompetitionTable grid(11);
    headerOnly(grid);
    grid.setRowsWithHeader(3);
    grid.setRowCells(1, {"1", "Meier"});
    grid.setRowCells(2, {"2", "Schulz"});
    grid.setModified(false);
    const QList<QStringList> before = tableRows(grid);

    QVERIFY(!loadProtocol(grid, dir.filePath("fehlt.txt")));
    QVERIFY(!loadProtocol(grid, dir.path()));
    QVERIFY(!loadProtocol(grid, QString()));
    QFile huge(dir.filePath("riesig.txt"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(65 * 1024 * 1024));
    huge.close();
    QVERIFY(!loadProtocol(grid, huge.fileName()));
    QCOMPARE(tableRows(grid), before);
    QVERIFY(!grid.modified());
}

void TestProtocolFile::headerOnlyLoadsOnlyWhenNothingFollows_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("loads");
    const QByteArray h = kDefaultHeader;
    // A save after such a load would leave the header alone.
    QTest::newRow("rows only after the end-of-file byte") << h + "\x1A"
                                                                 "1\tA\r\n"
                                                          << false;
    QTest::newRow("header and blank lines") << h + "\r\n \t\r\n\x1A" << true;
    QTest::newRow("header only") << h << true;
    QTest::newRow("one competitor line, no header") << QByteArray("1\tA\r\n") << true;
}

void TestProtocolFile::headerOnlyLoadsOnlyWhenNothingFollows() {
    QFETCH(QByteArray, file);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    QVERIFY(writeFile(path, file));
    CompetitionTable grid(11);
    headerOnly(grid);
    grid.setRowCells(1, {"1", "Meier"});
    const QList<QStringList> before = tableRows(grid);
    QCOMPARE(loadProtocol(grid, path), loads);
    if (!loads)
        QCOMPARE(tableRows(grid), before);
}

void TestProtocolFile::loadIsOneReset() {
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    QVERIFY(writeFile(path, kDefaultHeader + "1\tA\r\n2\tB\r\n3\tC\r\n"));
    CompetitionTable grid(11);
    QSignalSpy resets(&grid, &QAbstractItemModel::modelReset);
    QSignalSpy cells(&grid, &QAbstractItemModel::dataChanged);
    QVERIFY(loadProtocol(grid, path));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(cells.count(), 0);
}

void TestProtocolFile::modifiedFlagFollowsRowCount_data() {
    QTest::addColumn<int>("rowsBefore");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("modified");
    const QByteArray h = kDefaultHeader;
    QTest::newRow("two rows stay two") << 2 << h + "1\tA\r\n" << false;
    QTest::newRow("two rows grow") << 2 << h + "1\tA\r\n2\tB\r\n" << true;
    QTest::newRow("cut to two") << 5 << h + "1\tA\r\n" << true;
    QTest::newRow("same count still cut and grown") << 3 << h + "1\tA\r\n2\tB\r\n" << true;
}

void TestProtocolFile::modifiedFlagFollowsRowCount() {
    QFETCH(int, rowsBefore);
    QFETCH(QByteArray, file);
    QFETCH(bool, modified);
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    QVERIFY(writeFile(path, file));
    CompetitionTable grid(11);
    grid.setRowsWithHeader(rowsBefore);
    grid.setModified(false);
    QVERIFY(loadProtocol(grid, path));
    QCOMPARE(grid.modified(), modified);
}

void TestProtocolFile::readOnlyFolderKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("alt.txt");
    const QByteArray old = kDefaultHeader + "1\talt\r\n";
    QVERIFY(writeFile(path, old));
    CompetitionTable grid(11);
    headerOnly(grid);
    grid.setRowCells(1, {"2", "neu"});

    FileSystemFaults::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.effective())
        QSKIP("this process cannot give up its permission to write anywhere");
    const FileWriteResult result = ProtocolFile::SaveProtocolText(grid, path);
    QVERIFY(!result);
    QCOMPARE(result.message, QStringLiteral("Der Schreibfehler der Datei: ") + path);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(readFile(path), old);
}

void TestProtocolFile::fullDiskKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("alt.txt");
    const QByteArray old = kDefaultHeader + "1\talt\r\n";
    QVERIFY(writeFile(path, old));
    CompetitionTable grid(11);
    headerOnly(grid);
    grid.setRowsWithHeader(2000);
    for (int r = 1; r < grid.rowsWithHeader(); ++r)
        grid.setRowCells(r, {QString::number(r), QStringLiteral("Läufer")});

    FileWriteResult result;
    {
        FileSystemFaults::DiskFull full(4096);
        QVERIFY(full.effective());
        result = ProtocolFile::SaveProtocolText(grid, path);
    }
    QVERIFY(!result);
    QCOMPARE(result.message, QStringLiteral("Der Schreibfehler der Datei: ") + path);
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"alt.txt"});
}

void TestProtocolFile::csvOutputLoadsBack() {
    // A semicolon file chosen with "Öffnen..." reads as semicolon lines.
    QTemporaryDir dir;
    const QString path = dir.filePath("liste.csv");
    QVERIFY(writeFile(path, "Nr.;Name;Vorname;Verein/Ort;Kl.;Meister;Zeit1;Zeit2;Zeit3;Zeit4;"
                            "Zeit5\r\n4;Meier;;SV;1;+;10,24;;;;\r\n"));
    CompetitionTable grid(11);
    QVERIFY(loadProtocol(grid, path));
    QCOMPARE(grid.rowCells(0), defaultCaptions(HeatStartList));
    QCOMPARE(grid.rowCells(1),
             (QStringList{"4", "Meier", " ", "SV", "1", "+", "10,24", " ", " ", " ", QString()}));
}

QTEST_GUILESS_MAIN(TestProtocolFile)
#include "tst_protocolfile.moc"

#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "output/CsvFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using FileBytes::readFile;
using FileBytes::writeFile;

// The semicolon file: every row and column as it stands, and failures that say so.
class TestCsvFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bytesOfAWholeTable();
    void nothingIsQuoted();
    void writesTheFile();
    void readOnlyFolderReportsFailure();
    void fullDiskReportsFailure();
};

void TestCsvFile::bytesOfAWholeTable() {
    CompetitionTable grid(11);
    grid.setRowCells(0, StageTables::defaultCaptions(StageTables::HeatStartList));
    grid.setRowsWithHeader(4);
    grid.setRowCells(1, {"1", "Müller", "", "SV Süd", "1", "+", "10,24"});
    grid.setRowCells(3, {"", "ohne Nummer", "€"});
    QCOMPARE(CsvFile::csvBytes(grid),
             QByteArray("Nr.;Name;Vorname;Verein/Ort;Kl.;Meister;Zeit1;Zeit2;Zeit3;Zeit4;Zeit5\r\n"
                        "1;M\xFCller;;SV S\xFC"
                        "d;1;+;10,24;;;;\r\n"
                        ";;;;;;;;;;\r\n"
                        ";ohne Nummer;\x80;;;;;;;;\r\n"));
}

void TestCsvFile::nothingIsQuoted() {
    CompetitionTable grid(2);
    grid.setRowCells(0, {"a;b", "\"c\""});
    grid.setRowCells(1, {"x\r\ny", "Ł"});
    QCOMPARE(CsvFile::csvBytes(grid), QByteArray("a;b;\"c\"\r\nx  y;?\r\n"));
}

void TestCsvFile::writesTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("liste.csv");
    QVERIFY(writeFile(path, QByteArray(100000, 'x')));
    CompetitionTable grid(2);
    grid.setRowCells(0, {"Nr.", "Name"});
    grid.setRowCells(1, {"1", "Meier"});
    QVERIFY(CsvFile::SaveToCsv(grid, path));
    QCOMPARE(readFile(path), QByteArray("Nr.;Name\r\n1;Meier\r\n"));
}

void TestCsvFile::readOnlyFolderReportsFailure() {
    QTemporaryDir dir;
    const QString path = dir.filePath("alt.csv");
    QVERIFY(writeFile(path, "alt\r\n"));
    CompetitionTable grid(2);
    FileSystemFaults::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.effective())
        QSKIP("this process cannot give up its permission to write anywhere");
    const FileWriteResult result = CsvFile::SaveToCsv(grid, path);
    QVERIFY(!result);
    QCOMPARE(result.message, QStringLiteral("Can't write to file:\r") + path);
    QCOMPARE(readFile(path), QByteArray("alt\r\n"));
}

void TestCsvFile::fullDiskReportsFailure() {
    QTemporaryDir dir;
    const QString path = dir.filePath("alt.csv");
    QVERIFY(writeFile(path, "alt\r\n"));
    CompetitionTable grid(11);
    grid.setRowsWithHeader(3000);
    for (int r = 0; r < grid.rowsWithHeader(); ++r)
        grid.setRowCells(r, {QString::number(r), QStringLiteral("Läuferin")});
    FileWriteResult result;
    {
        FileSystemFaults::DiskFull full(8192);
        QVERIFY(full.effective());
        result = CsvFile::SaveToCsv(grid, path);
    }
    QVERIFY(!result);
    QCOMPARE(result.message, QStringLiteral("Can't write to file:\r") + path);
    QCOMPARE(readFile(path), QByteArray("alt\r\n"));
}

QTEST_GUILESS_MAIN(TestCsvFile)
#include "tst_csvfile.moc"

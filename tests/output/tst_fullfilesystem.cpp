#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "mock/FileBytes.h"
#include "mock/SmallTmpfs.h"
#include "output/BackupWriter.h"
#include "output/CsvFile.h"
#include "output/ProtocolFile.h"
#include "output/ProtocolPage.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <optional>

using FileBytes::readFile;

using namespace StageTables;

namespace {

void fillList(CompetitionTable& table, int competitors) {
    table.setRowCells(0, defaultCaptions(HeatStartList));
    table.setRowsWithHeader(competitors + 1);
    for (int r = 1; r <= competitors; ++r)
        table.setRowCells(r, {QString::number(r), QStringLiteral("Müller"), QStringLiteral("Jörg"),
                              QStringLiteral("SV Süd"), QStringLiteral("1"), QString(),
                              QStringLiteral("12,34")});
}

enum Writer { Protocol, Csv, Page, Backup };

} // namespace

// On a file system that is really full, every file the program writes keeps its old content,
// the failure is told, and once there is room again the next write holds everything.
class TestFullFileSystem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
};

void TestFullFileSystem::fullDiskKeepsOldFile_data() {
    QTest::addColumn<int>("writer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("competitors");
    const QList<std::pair<const char*, int>> writers{
        {"protocol", Protocol}, {"csv", Csv}, {"web page", Page}, {"backup", Backup}};
    // A few kilobytes fit into a write buffer and fail only when it is flushed.
    for (const int competitors : {20, 1000}) {
        for (const auto& [name, writer] : writers) {
            QTest::addRow("%s, %d competitors", name, competitors)
                << writer
                << QString(writer == Csv      ? "Can't write to file:\r"
                           : writer == Backup ? ""
                                              : "Der Schreibfehler der Datei: ")
                << competitors;
        }
    }
}

void TestFullFileSystem::fullDiskKeepsOldFile() {
    QFETCH(int, writer);
    QFETCH(QString, message);
    QFETCH(int, competitors);
    SmallTmpfs disk(256);
    if (!disk.mounted())
        QSKIP(qPrintable(disk.whyNot()));
    const QString path = disk.filePath(QStringLiteral("Velmora-Datei.txt"));
    CompetitionTable table(columnCount(HeatStartList));
    table.setTag(HeatStartList);
    fillList(table, 3);
    QVERIFY(ProtocolFile::SaveProtocolText(table, path));
    const QByteArray old = readFile(path);
    std::optional<BackupWriter> backup;
    if (writer == Backup)
        backup.emplace(table, path);
    QVERIFY(disk.fill());

    const auto write = [&]() -> FileWriteResult {
        switch (writer) {
        case Protocol:
            return ProtocolFile::SaveProtocolText(table, path);
        case Csv:
            return CsvFile::SaveToCsv(table, path);
        case Page:
            return ProtocolPage::WriteProtocolPage(path, table, "Velmora", "Vorlauf");
        default:
            return backup->lastError().isEmpty()
                       ? FileWriteResult::success()
                       : FileWriteResult::failure(QString(), backup->lastError());
        }
    };
    {
        std::optional<BackupWriter::Batch> oneWrite;
        if (backup)
            oneWrite.emplace(*backup);
        fillList(table, competitors);
    }
    const FileWriteResult failed = write();
    QVERIFY(!failed);
    QCOMPARE(failed.message, message.isEmpty() ? QString() : message + path);
    QVERIFY2(failed.reason.contains(qt_error_string(ENOSPC)), qPrintable(failed.reason));
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{".filler", "Velmora-Datei.txt"}));

    disk.freeSpace();
    if (backup)
        table.setCell(Heat::Zeit2, competitors, QStringLiteral("11,11"));
    QVERIFY(write());
    const QByteArray expected = writer == Csv ? CsvFile::csvBytes(table)
                                : writer == Page
                                    ? ProtocolPage::pageBytes(table, "Velmora", "Vorlauf")
                                    : ProtocolFile::protocolBytes(table);
    QCOMPARE(readFile(path), expected);
}

QTEST_GUILESS_MAIN(TestFullFileSystem)
#include "tst_fullfilesystem.moc"

#include "journal/JournalBackwardReader.h"
#include "journal/JournalEntry.h"
#include "journal/JournalLineFormat.h"
#include "journal/JournalReader.h"
#include "mock/FifoWatchdog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

JournalEntry sample() {
    JournalEntry e;
    e.wallClock = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589));
    e.kind = JournalEntry::Kind::Cell;
    e.stamp = 123'456'789;
    e.name = QStringLiteral("Eintragen");
    e.source = QStringLiteral("Taste");
    e.table = QStringLiteral("Vorlauf");
    e.row = 3;
    e.number = QStringLiteral("17");
    e.column = QStringLiteral("Zeit1");
    e.oldText = QString();
    e.newText = QStringLiteral("12,34");
    e.runMicroseconds = 12'349'999;
    e.remark = QStringLiteral("ä");
    return e;
}

QByteArray fileOf(const QList<JournalEntry>& entries) {
    QByteArray bytes = JournalLineFormat::header().toUtf8() + '\n';
    for (const JournalEntry& e : entries)
        bytes += JournalLineFormat::format(e).toUtf8() + '\n';
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Everything a backward reader gives, a few lines at a time, oldest first again.
QList<JournalEntry> readBack(JournalBackwardReader& reader) {
    QList<JournalEntry> all;
    for (QList<JournalEntry> some;
         !(some = reader.readOlder(2)).isEmpty() || !reader.atBeginning();)
        for (const JournalEntry& e : some)
            all.prepend(e);
    return all;
}

} // namespace

// The journal's line format and reading a journal file back, damaged lines included.
class TestJournalFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linesReadBack_data();
    void linesReadBack();
    void damagedLinesAreRefused_data();
    void damagedLinesAreRefused();
    void headerNamesEveryColumn();
    void fileWithDamagedLinesLoads_data();
    void fileWithDamagedLinesLoads();
    void readingBackFindsTheSameEvents_data();
    void readingBackFindsTheSameEvents();
    void readingBackGoesOnIntoTheDayBefore();
    void notRegularFilesAreRefused_data();
    void notRegularFilesAreRefused();
};

void TestJournalFile::linesReadBack_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "newText"
                           << "12,34";
    QTest::newRow("tab") << "name"
                         << "a\tb";
    QTest::newRow("line breaks") << "oldText"
                                 << "a\nb\r\nc";
    QTest::newRow("backslashes") << "remark"
                                 << "C:\\t\\\\n";
    QTest::newRow("umlauts") << "source"
                             << "Menü ß";
    QTest::newRow("empty") << "newText"
                           << "";
}

void TestJournalFile::linesReadBack() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    JournalEntry e = sample();
    QString* target = field == "name"      ? &e.name
                      : field == "oldText" ? &e.oldText
                      : field == "remark"  ? &e.remark
                      : field == "source"  ? &e.source
                                           : &e.newText;
    *target = text;
    const QString line = JournalLineFormat::format(e);
    QVERIFY(!line.contains(u'\n'));
    QCOMPARE(line.count(u'\t'), JournalLineFormat::columnCount - 1);
    const auto back = JournalLineFormat::parse(line);
    QVERIFY(back);
    QCOMPARE(*back, e);
}

void TestJournalFile::damagedLinesAreRefused_data() {
    QTest::addColumn<QString>("line");
    const QString good = JournalLineFormat::format(sample());
    QTest::newRow("cut in the middle") << good.left(good.size() / 2);
    QTest::newRow("one column short") << good.section(u'\t', 0, 11);
    QTest::newRow("one column more") << good + "\tx";
    QTest::newRow("unknown event") << QString(good).replace("Zelle", "Zellx");
    QTest::newRow("stamp not a number") << QString(good).replace("123456789", "12x");
    QTest::newRow("no wall clock") << good.mid(good.indexOf(u'\t'));
    QTest::newRow("lone backslash") << QString(good).replace("Taste", "Tas\\");
    QTest::newRow("unknown escape") << QString(good).replace("Taste", "Ta\\qe");
    QTest::newRow("empty") << QString();
}

void TestJournalFile::damagedLinesAreRefused() {
    QFETCH(QString, line);
    QVERIFY(!JournalLineFormat::parse(line));
}

void TestJournalFile::headerNamesEveryColumn() {
    const QStringList columns = JournalLineFormat::header().split(u'\t');
    QCOMPARE(columns.size(), JournalLineFormat::columnCount);
    QVERIFY(columns.contains("Stempel_us"));
    QVERIFY(columns.contains("Nr."));
    QVERIFY(columns.contains("Laufzeit_us"));
}

void TestJournalFile::fileWithDamagedLinesLoads_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("skipped");
    JournalEntry second = sample();
    second.kind = JournalEntry::Kind::LineChange;
    second.stamp = 999;
    const QByteArray whole = fileOf({sample(), second});
    QTest::newRow("whole") << whole << 2 << 0;
    QTest::newRow("last line cut after a crash") << whole.left(whole.size() - 20) << 1 << 1;
    QTest::newRow("last line without its break") << whole.left(whole.size() - 1) << 1 << 1;
    QTest::newRow("garbage in between")
        << fileOf({sample()}) + "x\ty\n" + JournalLineFormat::format(second).toUtf8() + '\n'
        << 2 << 1;
    QTest::newRow("cut line repaired by a break")
        << whole.left(whole.size() - 20) + '\n' + JournalLineFormat::format(second).toUtf8() + '\n'
        << 2 << 1;
    QTest::newRow("bad UTF-8") << fileOf({sample()}) + "\xff\xfe\n" << 1 << 1;
    QTest::newRow("without header") << whole.mid(whole.indexOf('\n') + 1) << 2 << 0;
    QTest::newRow("windows line ends") << QByteArray(whole).replace("\n", "\r\n") << 2 << 0;
    QTest::newRow("empty file") << QByteArray() << 0 << 0;
}

void TestJournalFile::fileWithDamagedLinesLoads() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, entries);
    QFETCH(int, skipped);
    const JournalReader::Result result = JournalReader::readBytes(bytes);
    QCOMPARE(result.entries.size(), entries);
    QCOMPARE(result.skippedLines, skipped);
    if (entries > 0)
        QCOMPARE(result.entries.first(), sample());
}

void TestJournalFile::readingBackFindsTheSameEvents_data() {
    fileWithDamagedLinesLoads_data();
    JournalEntry second = sample();
    second.stamp = 5;
    const QByteArray endless(JournalBackwardReader::longestLineBytes + 10, 'x');
    QTest::newRow("a line without end in between")
        << fileOf({sample()}) + endless + '\n' + JournalLineFormat::format(second).toUtf8() + '\n'
        << 2 << 1;
}

void TestJournalFile::readingBackFindsTheSameEvents() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, entries);
    QFETCH(int, skipped);
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.txt");
    QVERIFY(writeFile(path, bytes));
    // Blocks that end inside a line, inside a line break pair and exactly at lines.
    for (qint64 block : {1LL, 7LL, 64LL, JournalBackwardReader::defaultBlockBytes}) {
        JournalBackwardReader reader({path}, block);
        const QList<JournalEntry> back = readBack(reader);
        QCOMPARE(back.size(), entries);
        QCOMPARE(back, JournalReader::readFile(path).entries);
        QCOMPARE(reader.skippedLines(), skipped);
    }
}

void TestJournalFile::readingBackGoesOnIntoTheDayBefore() {
    QTemporaryDir dir;
    JournalEntry yesterday = sample();
    yesterday.stamp = 1;
    JournalEntry today = sample();
    today.stamp = 2;
    QVERIFY(writeFile(dir.filePath("today.txt"), fileOf({today})));
    QVERIFY(writeFile(dir.filePath("yesterday.txt"), fileOf({yesterday})));
    JournalBackwardReader reader(
        {dir.filePath("today.txt"), dir.filePath("missing.txt"), dir.filePath("yesterday.txt")});
    QCOMPARE(readBack(reader), (QList<JournalEntry>{yesterday, today}));
    QVERIFY(reader.errors().isEmpty());
}

void TestJournalFile::notRegularFilesAreRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
    QTest::newRow("folder") << "folder";
}

void TestJournalFile::notRegularFilesAreRefused() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.txt");
    if (kind == "fifo")
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else if (kind == "zero")
        QVERIFY(QFile::link("/dev/zero", path));
    else
        QVERIFY(QDir().mkpath(path));
    const FifoWatchdog watchdog(path);
    const JournalReader::Result whole = JournalReader::readFile(path);
    QVERIFY(whole.fileExists);
    QCOMPARE(whole.error, JournalReader::notRegularText());
    QVERIFY(whole.entries.isEmpty());
    JournalBackwardReader back({path});
    QVERIFY(back.readOlder(10).isEmpty());
    QCOMPARE(back.errors(), QStringList{"journal.txt: " + JournalReader::notRegularText()});
    QVERIFY(!watchdog.fired());
}

QTEST_GUILESS_MAIN(TestJournalFile)
#include "tst_journalfile.moc"

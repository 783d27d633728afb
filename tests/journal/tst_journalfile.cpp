#include "journal/JournalEntry.h"
#include "journal/JournalLineFormat.h"
#include "journal/JournalReader.h"

#include <QTest>

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

QTEST_GUILESS_MAIN(TestJournalFile)
#include "tst_journalfile.moc"

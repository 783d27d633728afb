#include "competition/SubstituteMarks.h"
#include "output/SubstituteMarksFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The companion file of a protocol that keeps which run times are substitutes: its name, the
// lines it is written as, and what is read back from a damaged one.
class TestSubstituteMarksFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void companionPath_data();
    void companionPath();
    void readsWhatIsReadable_data();
    void readsWhatIsReadable();
    void writtenAtomicallyOrRemoved();
    void manyMarksReadInLinearTime();
};

namespace {

QString text(const SubstituteMarks& marks) {
    QStringList lines;
    for (const SubstituteMarks::Mark& mark : marks.marks())
        lines.append(mark.number + u'/' + QString::number(mark.run) + u'/' + mark.timeText);
    return lines.join(u' ');
}

} // namespace

void TestSubstituteMarksFile::companionPath_data() {
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("companion");
    QTest::newRow("backup") << "/a/Velmora-Sicherungsdatei.txt"
                            << "/a/Velmora-Sicherungsdatei-Ersatzzeiten.txt";
    QTest::newRow("upper case suffix") << "Lauf.TXT"
                                       << "Lauf-Ersatzzeiten.txt";
    QTest::newRow("other suffix kept") << "Lauf.dat"
                                       << "Lauf.dat-Ersatzzeiten.txt";
}

void TestSubstituteMarksFile::companionPath() {
    QFETCH(QString, protocol);
    QFETCH(QString, companion);
    QCOMPARE(SubstituteMarksFile::companionPath(protocol), companion);
}

void TestSubstituteMarksFile::readsWhatIsReadable_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<int>("damaged");
    QTest::newRow("as written") << QByteArray("11\t2\t31,46\t\r\n7\t4\t29,01\t\r\n")
                                << "11/1/31,46 7/3/29,01" << 0;
    QTest::newRow("lines without CR") << QByteArray("11\t1\t3146\t\n") << "11/0/3146" << 0;
    QTest::newRow("cut last line") << QByteArray("11\t2\t31,46\t\r\n7\t4\t29") << "11/1/31,46" << 1;
    QTest::newRow("run out of range")
        << QByteArray("11\t6\t31,46\t\r\n12\t0\t1,00\t\r\n13\t5\t2,00\t\r\n") << "13/4/2,00" << 2;
    QTest::newRow("no number, no time") << QByteArray("\t1\t31,46\t\r\n11\t1\t \t\r\n") << "" << 2;
    QTest::newRow("umlaut in a number") << QByteArray("\xC4"
                                                      "1\t1\t1,00\t\r\n")
                                        << "Ä1/0/1,00" << 0;
    QTest::newRow("blank lines") << QByteArray("\r\n\r\n") << "" << 0;
}

void TestSubstituteMarksFile::readsWhatIsReadable() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, marks);
    QFETCH(int, damaged);
    const SubstituteMarksFile::ReadResult read = SubstituteMarksFile::parse(bytes);
    QCOMPARE(text(read.marks), marks);
    QCOMPARE(read.damagedLines, damaged);
    QCOMPARE(SubstituteMarksFile::damagedText(QStringLiteral("x"), read).isEmpty(), damaged == 0);
    if (damaged == 0)
        QCOMPARE(text(SubstituteMarksFile::parse(SubstituteMarksFile::bytes(read.marks)).marks),
                 marks);
}

void TestSubstituteMarksFile::writtenAtomicallyOrRemoved() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lauf-Ersatzzeiten.txt"));
    SubstituteMarks marks;
    marks.add({QStringLiteral("11"), 1, QStringLiteral("31,46")});
    QVERIFY(SubstituteMarksFile::write(path, marks));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("11\t2\t31,46\t\r\n"));
    file.close();
    QCOMPARE(text(SubstituteMarksFile::read(path).marks), QStringLiteral("11/1/31,46"));
    // No marks: the file from before must not tell of one any more.
    QVERIFY(SubstituteMarksFile::write(path, SubstituteMarks()));
    QVERIFY(!QFile::exists(path));
    QVERIFY(SubstituteMarksFile::write(path, SubstituteMarks()));
    QVERIFY(SubstituteMarksFile::read(path).error.isEmpty());
}

void TestSubstituteMarksFile::manyMarksReadInLinearTime() {
    // 80,000 marks, about a megabyte: far below the size limit, and read at start-up.
    constexpr int Count = 80'000;
    QByteArray bytes;
    for (int i = 0; i < Count; ++i)
        bytes += QByteArray::number(i / 5) + '\t' + QByteArray::number(i % 5 + 1) + "\t31,46\t\r\n";
    QElapsedTimer timer;
    timer.start();
    const SubstituteMarksFile::ReadResult read = SubstituteMarksFile::parse(bytes);
    QCOMPARE(read.marks.marks().size(), Count);
    QVERIFY(read.marks.isSubstitute(QStringLiteral("15999"), 4, QStringLiteral("31,46")));
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
}

QTEST_MAIN(TestSubstituteMarksFile)
#include "tst_substitutemarksfile.moc"

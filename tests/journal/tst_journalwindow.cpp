#include "competition/Competition.h"
#include "journal/JournalReader.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalWriter.h"
#include "journal/widgets/JournalDialog.h"
#include "journal/widgets/JournalWiring.h"
#include "mock/TimingWindowFixture.h"
#include "output/BackupWriter.h"
#include "ui/MainActions.h"
#include "ui/TFormMain.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

QString journalPath(TimingWindowFixture& f) {
    return f.install().filePath(JournalWriter::fileName("Velmora", QDate::currentDate()));
}

QStringList commandsOf(const QList<JournalEntry>& entries) {
    QStringList out;
    for (const JournalEntry& e : entries)
        if (e.kind == JournalEntry::Kind::Command)
            out.append(e.name + " (" + e.source + ")");
    return out;
}

} // namespace

// The journal in the main window: its file next to the backup, the keys' commands in it, and a
// run reset before its entry taken back into the right row through "Zeitprotokoll...".
class TestJournalWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void journalLiesNextToTheBackup();
    void dialogTakesBackALostRun_data();
    void dialogTakesBackALostRun();
    void dialogMarksOtherImpulses();
    void journalReadBackAfterARestart();
};

void TestJournalWindow::journalLiesNextToTheBackup() {
    TimingWindowFixture f;
    JournalWiring* journal = f.window().journal();
    QVERIFY(journal);
    QVERIFY(journal->writer().flush());
    QCOMPARE(QFileInfo(journalPath(f)).absolutePath(),
             QFileInfo(f.window().backupWriter()->backupPath()).absolutePath());
    const JournalReader::Result read = JournalReader::readFile(journalPath(f));
    QCOMPARE(read.entries.size(), 1);
    QCOMPARE(read.entries[0].kind, JournalEntry::Kind::ProgramStart);
    QCOMPARE(read.entries[0].remark, QStringLiteral(VELMORA_VERSION));
    QCOMPARE(f.window().actions().mJournal->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));
    QCOMPARE(f.window().actions().mJournal->text(), "Zeitprotokoll...");
    f.destroyWindow();
    const JournalReader::Result after = JournalReader::readFile(journalPath(f));
    QCOMPARE(after.entries.last().kind, JournalEntry::Kind::ProgramEnd);
}

void TestJournalWindow::dialogTakesBackALostRun_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<QString>("hint");
    QTest::newRow("F5 F8 F10") << QStringList{"F5", "+12349", "F8", "F10"} << 1234 << "";
    QTest::newRow("with intermediate")
        << QStringList{"F5", "+3000", "F6", "+4567", "F8", "F10"} << 756 << "";
    QTest::newRow("two runs: the last one")
        << QStringList{"F5", "+1000", "F8", "F9", "F5", "+2221", "F8", "F10"} << 222 << "";
    QTest::newRow("no run yet") << QStringList{} << -1 << "Bitte einen Start wählen.";
}

void TestJournalWindow::dialogTakesBackALostRun() {
    QFETCH(QStringList, steps);
    QFETCH(int, hundredths);
    QFETCH(QString, hint);
    TimingWindowFixture f;
    f.addCompetitors(3);
    TSortGrid& heat = f.window().competition().heatStartList();
    QVERIFY(f.run(steps));
    const int row = heat.Row();
    const QString before = f.heatRow(row);

    f.window().actions().mJournal->trigger();
    JournalDialog* dialog = f.window().journal()->dialog();
    QVERIFY(dialog);
    // The offscreen screen is smaller than the designed size: "Eintragen" must stay on it.
    QTRY_VERIFY(dialog->isVisible());
    const QSize room = dialog->screen()->availableGeometry().size();
    QVERIFY(dialog->width() <= room.width() && dialog->height() <= room.height());
    QCOMPARE(dialog->hintText(), hint);
    QCOMPARE(dialog->enterButton()->isEnabled(), hint.isEmpty());
    if (hundredths < 0) {
        QTest::mouseClick(dialog->enterButton(), Qt::LeftButton);
        QCOMPARE(f.heatRow(row), before);
        return;
    }
    QCOMPARE(dialog->runTimeMs(), hundredths * 10);
    QTest::mouseClick(dialog->enterButton(), Qt::LeftButton);
    const QString time = f.window().competition().timeFormat().FormatTime(hundredths);
    QVERIFY(f.heatRow(row).split(u' ').contains(time));
    QCOMPARE(heat.Row(), row + 1);

    JournalWiring& journal = *f.window().journal();
    QVERIFY(journal.writer().flush());
    const QList<JournalEntry> read = JournalReader::readFile(journalPath(f)).entries;
    const QStringList commands = commandsOf(read);
    QVERIFY2(commands.contains("Start (Taste)"), qPrintable(commands.join(", ")));
    QVERIFY(commands.contains("0,00 (Taste)"));
    QCOMPARE(commands.last(), "Eintragen (Zeitprotokoll)");
    const JournalEntry& cell = read.last();
    QCOMPARE(cell.kind, JournalEntry::Kind::Cell);
    QCOMPARE(cell.newText, time);
    QCOMPARE(cell.source, JournalRecorder::fromJournalSource());
    QCOMPARE(cell.number, heat.cell(0, row));
    dialog->close();
}

void TestJournalWindow::dialogMarksOtherImpulses() {
    TimingWindowFixture f;
    f.addCompetitors(2);
    QVERIFY(f.run({"F5", "+1000", "F6", "+2000", "F8", "F10"}));
    f.window().actions().mJournal->trigger();
    JournalDialog* dialog = f.window().journal()->dialog();
    QVERIFY(dialog);
    // Newest first: 0,00, Stopp, Zwischen, Start.
    const QList<JournalEntry>& shown = dialog->shown();
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown[2].name, "Zwischen");
    dialog->markStop(2);
    QCOMPARE(dialog->runTimeMs(), 1000);
    dialog->markStart(1);
    QCOMPARE(dialog->hintText(), "Der Stopp muss nach dem Start liegen.");
    QVERIFY(!dialog->enterButton()->isEnabled());
    QVERIFY(!dialog->enterButton()->toolTip().isEmpty());
    dialog->close();
}

void TestJournalWindow::journalReadBackAfterARestart() {
    TimingWindowFixture f;
    f.addCompetitors(2);
    QVERIFY(f.run({"F5", "+1000", "F8", "F10"}));
    QVERIFY(f.window().journal()->writer().flush());
    const qsizetype lines = f.window().journal()->today().size();
    f.destroyWindow();
    // A crash of a later run cut its last line.
    QFile file(journalPath(f));
    QVERIFY(file.open(QIODevice::Append));
    file.write("2026-01-01 10:00:00.000\t12");
    file.close();
    TFormMain again(f.install().environment(&f.answers()));
    QVERIFY(again.journal());
    QCOMPARE(again.journal()->skippedLines(), 1);
    // The earlier run, its end line and the new start line.
    QCOMPARE(again.journal()->today().size(), lines + 2);
}

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"

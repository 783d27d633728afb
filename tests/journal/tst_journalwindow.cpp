#include "competition/Competition.h"
#include "journal/JournalLineFormat.h"
#include "journal/JournalReader.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalWriter.h"
#include "journal/widgets/JournalDialog.h"
#include "journal/widgets/JournalImpulseModel.h"
#include "journal/widgets/JournalWiring.h"
#include "mock/TimingWindowFixture.h"
#include "output/BackupWriter.h"
#include "session/SessionJournal.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "widgets/ElidingLabel.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>

namespace {

QString journalPath(TimingWindowFixture& f, const QDate& day = QDate::currentDate()) {
    return f.install().filePath(JournalWriter::fileName("Velmora", day));
}

JournalDialog* openDialog(TimingWindowFixture& f) {
    f.window().actions().journal->trigger();
    JournalDialog* dialog = f.window().journal()->dialog();
    if (dialog && !QTest::qWaitForWindowExposed(dialog))
        qWarning("The journal dialog did not show.");
    return dialog;
}

bool append(const QString& path, const JournalEntry& entry) {
    QFile file(path);
    const bool fresh = !file.exists();
    if (!file.open(QIODevice::Append))
        return false;
    if (fresh)
        file.write(JournalLineFormat::header().toUtf8() + '\n');
    return file.write(JournalLineFormat::format(entry).toUtf8() + '\n') > 0;
}

JournalEntry command(const QString& name, const QDateTime& at, qint64 stamp) {
    JournalEntry e;
    e.wallClock = at;
    e.kind = JournalEntry::Kind::Command;
    e.name = name;
    e.source = QStringLiteral("Lichtschranke");
    e.stamp = stamp;
    return e;
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
    void enteredRunIsNeverOfferedAgain_data();
    void enteredRunIsNeverOfferedAgain();
    void enteringAgainAsksFirst();
    void runAcrossMidnightIsRecovered();
    void unwritableJournalToldUntilWritable();
};

void TestJournalWindow::journalLiesNextToTheBackup() {
    TimingWindowFixture f;
    JournalWiring* journal = f.window().journal();
    QVERIFY(journal);
    QVERIFY(journal->writer().flush());
    QCOMPARE(QFileInfo(journalPath(f)).absolutePath(),
             QFileInfo(f.window().session().backup()->backupPath()).absolutePath());
    const JournalReader::Result read = JournalReader::readFile(journalPath(f));
    QCOMPARE(read.entries.size(), 1);
    QCOMPARE(read.entries[0].kind, JournalEntry::Kind::ProgramStart);
    QCOMPARE(read.entries[0].remark, QStringLiteral(VELMORA_VERSION));
    QCOMPARE(f.window().actions().journal->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));
    QCOMPARE(f.window().actions().journal->text(), "Zeitprotokoll...");
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
    CompetitionTable& heat = f.window().session().competition().heatStartList();
    QVERIFY(f.run(steps));
    const int row = heat.selectedRow();
    const QString before = f.heatRow(row);

    JournalDialog* dialog = openDialog(f);
    QVERIFY(dialog);
    // The offscreen screen is smaller than the designed size: "Eintragen" must stay on it.
    QVERIFY(dialog->isVisible());
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
    const QString time = f.window().session().competition().timeFormat().formatTime(hundredths);
    QVERIFY(f.heatRow(row).split(u' ').contains(time));
    QCOMPARE(heat.selectedRow(), row + 1);

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
    JournalDialog* dialog = openDialog(f);
    QVERIFY(dialog);
    // Newest first: 0,00, Stopp, Zwischen, Start.
    QCOMPARE(dialog->model()->rowCount(), 4);
    QCOMPARE(dialog->model()->entry(2).name, "Zwischen");
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
    f.destroyWindow();
    // A crash of a later run cut its last line.
    QFile file(journalPath(f));
    QVERIFY(file.open(QIODevice::Append));
    file.write("2026-01-01 10:00:00.000\t12");
    file.close();
    SessionWindow again(f.install().environment(&f.answers()));
    QVERIFY(again.journal());
    QCOMPARE(again.journal()->skippedLines(), 1);
    // Told beside the status panels, not over them.
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.mainStatusBar()->noticePanel()->text(), SessionJournal::damagedLinesText(1));
    QVERIFY(again.mainStatusBar()->noticePanel()->isVisible());
    QVERIFY(again.mainStatusBar()->currentMessage().isEmpty());
    QVERIFY(again.mainStatusBar()->panel(MainStatusBar::StageMessage)->isVisible());
    // The earlier run is still offered.
    again.actions().journal->trigger();
    QVERIFY(again.journal()->dialog());
    QCOMPARE(again.journal()->dialog()->runTimeMs(), 1000);
    again.journal()->dialog()->close();
}

void TestJournalWindow::enteredRunIsNeverOfferedAgain_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("returns");     // Return pressed in "Zeitprotokoll"
    QTest::addColumn<QList<int>>("rows"); // hundredths in rows 1 and 2, 0 for none
    QTest::newRow("entered by F9: nothing offered")
        << QStringList{"F5", "+1000", "F8", "F9"} << 1 << QList<int>{100, 0};
    QTest::newRow("recovered: Return twice fills one row")
        << QStringList{"F5", "+1000", "F8", "F10"} << 2 << QList<int>{100, 0};
    QTest::newRow("two lost runs: the marks move on")
        << QStringList{"F5", "+1000", "F8", "F10", "F5", "+2000", "F8", "F10"} << 2
        << QList<int>{200, 100};
}

void TestJournalWindow::enteredRunIsNeverOfferedAgain() {
    QFETCH(QStringList, steps);
    QFETCH(int, returns);
    QFETCH(QList<int>, rows);
    TimingWindowFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run(steps));
    JournalDialog* dialog = openDialog(f);
    QVERIFY(dialog);
    for (int i = 0; i < returns; ++i)
        QTest::keyClick(dialog, Qt::Key_Return);
    const TimeFormat& format = f.window().session().competition().timeFormat();
    for (int row = 1; row <= 2; ++row) {
        const QStringList cells = f.heatRow(row).split(u' ');
        const qsizetype times =
            rows[row - 1] > 0 ? cells.count(format.formatTime(rows[row - 1])) : 0;
        QCOMPARE(cells.count(QStringLiteral(".")), 4 - times);
    }
    // Every run is in the table now: nothing is marked, Return has nothing to enter.
    QVERIFY(!dialog->startStamp() && !dialog->stopStamp());
    QVERIFY(!dialog->enterButton()->isDefault());
    const JournalImpulseModel& model = *dialog->model();
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.entry(row).name == "Stopp")
            QVERIFY(model.enteredText(row).startsWith("Nr. 1"));
    QVERIFY(f.answers().questions.isEmpty());
    dialog->close();
}

void TestJournalWindow::enteringAgainAsksFirst() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run({"F5", "+1000", "F8", "F9"}));
    JournalDialog* dialog = openDialog(f);
    QVERIFY(dialog);
    // Newest first: Eintragen, Stopp, Start.
    dialog->markStop(1);
    dialog->markStart(2);
    QCOMPARE(dialog->runTimeMs(), 1000);
    QVERIFY(dialog->hintText().isEmpty());
    QCOMPARE(dialog->enteredText(), "Nr. 11 Name1 Vorname1");
    QVERIFY(!dialog->enterButton()->isDefault());
    const QString before = f.heatRow(2);
    QTest::mouseClick(dialog->enterButton(), Qt::LeftButton);
    QCOMPARE(f.answers().questions.size(), 1);
    QVERIFY2(f.answers().questions[0].contains("schon eingetragen (Nr. 11"),
             qPrintable(f.answers().questions[0]));
    QCOMPARE(f.heatRow(2), before);
    f.answers().answer = true;
    QTest::mouseClick(dialog->enterButton(), Qt::LeftButton);
    QVERIFY(f.heatRow(2) != before);
    dialog->close();
}

void TestJournalWindow::runAcrossMidnightIsRecovered() {
    TimingWindowFixture f;
    f.addCompetitors(2);
    // The start came before midnight, the stop after it; the run was never entered.
    const QDate today = QDate::currentDate();
    QVERIFY(append(journalPath(f, today.addDays(-1)),
                   command("Start", QDateTime(today.addDays(-1), QTime(23, 59, 58)), 5'000'000)));
    QVERIFY(f.window().journal()->writer().flush());
    QVERIFY(append(journalPath(f), command("Stopp", QDateTime(today, QTime(0, 0, 3)), 10'120'000)));
    JournalDialog* dialog = openDialog(f);
    QVERIFY(dialog);
    QCOMPARE(dialog->runTimeMs(), 5120);
    QTest::mouseClick(dialog->enterButton(), Qt::LeftButton);
    const QString time = f.window().session().competition().timeFormat().formatTime(512);
    QVERIFY2(f.heatRow(1).split(u' ').contains(time), qPrintable(f.heatRow(1)));
    dialog->close();
}

void TestJournalWindow::unwritableJournalToldUntilWritable() {
    TimingWindowFixture f;
    const QString path = journalPath(f);
    f.destroyWindow();
    // A folder where today's journal should be: nothing can be written until it goes.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkpath(path));
    SessionWindow again(f.install().environment(&f.answers()));
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    MainStatusBar& status = *again.mainStatusBar();
    QTRY_VERIFY(status.lastingPanel()->isVisible());
    QVERIFY(status.lastingPanel()->text().startsWith(
        SessionJournal::failureText(path, QString()).section(u':', 0, 0)));
    QVERIFY(status.lastingPanel()->styleSheet().contains("#FF0000"));
    // The panels stay, the backup's among them.
    QVERIFY(status.currentMessage().isEmpty());
    QVERIFY(status.panel(MainStatusBar::FixedText)->isVisible());
    QCOMPARE(status.panel(MainStatusBar::FixedText)->text(), MainStatusBar::fixedText());
    // What cannot reach the file meanwhile can still be taken back.
    again.journal()->recorder().commandChosen(QStringLiteral("Neue"));
    again.actions().journal->trigger();
    QVERIFY(again.journal()->dialog());
    QCOMPARE(again.journal()->dialog()->model()->rowCount(), 1);
    QCOMPARE(again.journal()->dialog()->model()->entry(0).name, "Neue");
    again.journal()->dialog()->close();

    QVERIFY(QDir(path).removeRecursively());
    // Start-up could not read the folder either; that older notice comes second.
    QTRY_VERIFY_WITH_TIMEOUT(
        status.noticePanel()->text().startsWith(SessionJournal::recoveredText()), 5000);
    QVERIFY(!status.lastingPanel()->isVisible());
}

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"

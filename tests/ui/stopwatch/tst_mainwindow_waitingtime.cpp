#include "competition/Competition.h"
#include "mock/TimingWindowFixture.h"
#include "output/ProtocolFile.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/stopwatch/WaitingTimeGuard.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QTest>

// A stopped run whose time is not entered yet, met by the commands that replace the
// competition: each asks before the time can go, and a time let go is gone for good.
class TestMainWindowWaitingTime : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandsAskForTheWaitingTime_data();
    void commandsAskForTheWaitingTime();
    void runStoppedDuringTheQuestion();
};

namespace {

const QString neue =
    QStringLiteral("Haben Sie das Protokoll gespeichert und/oder wollen Sie ein Neues öffnen?");
const QString randomQuestion = QStringLiteral("Neues Protokoll mit Zufallsergebnissen generieren?");

// "Nr. Zeit1" of row 1, "." for an empty or blank cell.
QString firstRow(MainWindow& window) {
    const CompetitionTable& heat = window.session().competition().heatStartList();
    QStringList cells;
    for (int col : {0, 6}) {
        const QString text = heat.cell(col, 1).trimmed();
        cells.append(text.isEmpty() ? QStringLiteral(".") : text);
    }
    return cells.join(u' ');
}

} // namespace

void TestMainWindowWaitingTime::commandsAskForTheWaitingTime_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("row1");

    const QStringList stop{"F5", "+1234", "F8"};
    const QString waiting = WaitingTimeGuard::question();
    const int stopped = int(RunClock::State::Stopped);
    const int ready = int(RunClock::State::Ready);
    const QString kept = QStringLiteral("11 .");
    QTest::newRow("Neue, kept") << "Neue1" << stop << false << QStringList{waiting} << stopped
                                << kept;
    QTest::newRow("Neue, let go") << "Neue1" << stop << true << QStringList{waiting, neue} << ready
                                  << ". .";
    QTest::newRow("Neue, nothing waits")
        << "Neue1" << QStringList{} << false << QStringList{neue} << ready << kept;
    QTest::newRow("random, kept") << "Generate" << stop << false << QStringList{waiting} << stopped
                                  << kept;
    QTest::newRow("random, let go")
        << "Generate" << stop << true << QStringList{waiting, randomQuestion} << ready << "";
    QTest::newRow("open, kept") << "mOpen" << stop << false << QStringList{waiting} << stopped
                                << kept;
    QTest::newRow("open, let go") << "mOpen" << stop << true << QStringList{waiting} << ready
                                  << "7 .";
    QTest::newRow("close, stopped")
        << "mBeenden" << stop << false << QStringList{"Beenden?"} << stopped << kept;
    QTest::newRow("entered, close without asking")
        << "mBeenden" << QStringList{"F5", "+1234", "F8", "F9"} << false << QStringList{} << ready
        << "11 123";
}

void TestMainWindowWaitingTime::commandsAskForTheWaitingTime() {
    QFETCH(QString, command);
    QFETCH(QStringList, steps);
    QFETCH(bool, answer);
    QFETCH(QStringList, questions);
    QFETCH(int, state);
    QFETCH(QString, row1);
    TimingWindowFixture f;
    f.addCompetitors(3);
    Competition other;
    other.writeHeatStartListHeader();
    other.heatStartList().appendRow({"7", "Anders", "Anna", "SV", "1"});
    const QString file = f.install().filePath(QStringLiteral("andere.txt"));
    QVERIFY(ProtocolFile::SaveProtocolText(other.heatStartList(), file));
    f.install().dialogs().answer(file);
    QVERIFY(f.run(steps));
    f.answers().answer = answer;
    f.window().findChild<QAction*>(command)->trigger();
    QCOMPARE(f.answers().questions, questions);
    const RunClock& clock = f.window().session().clock();
    QCOMPARE(int(clock.state()), state);
    if (!row1.isEmpty())
        QCOMPARE(firstRow(f.window()), row1);
    // A time let go can never reach the next competition's rows.
    QVERIFY(f.run({"F9"}));
    if (!row1.isEmpty() && state == int(RunClock::State::Ready))
        QCOMPARE(firstRow(f.window()), row1);
}

void TestMainWindowWaitingTime::runStoppedDuringTheQuestion() {
    // The timing keys act while "Neue" is asked; a run stopped meanwhile is asked for again.
    TimingWindowFixture f;
    f.addCompetitors(3);
    f.answers().answer = true;
    bool timed = false;
    WindowSeams::AnswerProvider asked = [&](const QString& question) {
        f.answers().questions.append(question);
        if (!timed) {
            timed = true;
            f.window().session().clock().start();
            f.ticks().advanceMilliseconds(2000);
            f.window().session().clock().stop();
        }
        return true;
    };
    WaitingTimeGuard guard(f.window().session(), asked);
    QVERIFY(guard.confirm(neue));
    QCOMPARE(f.answers().questions, (QStringList{neue, WaitingTimeGuard::question()}));
    QVERIFY(!guard.timeWaiting());
}

QTEST_MAIN(TestMainWindowWaitingTime)
#include "tst_mainwindow_waitingtime.moc"

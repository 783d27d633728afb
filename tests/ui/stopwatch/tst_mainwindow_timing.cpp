#include "competition/Competition.h"
#include "mock/TimingWindowFixture.h"
#include "settings/SettingsApplier.h"
#include "settings/SettingsChoices.h"
#include "settings/TvPlacement.h"
#include "timing/DisplayRow.h"
#include "timing/RunClock.h"
#include "ui/program/SettingsCommand.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"
#include "widgets/ColorButton.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QTest>

namespace {

const QString ready = QStringLiteral("TIMER orange, START green, Zwischen -, STOPP -, Eintragen -, "
                                     "00:00 -; settings on, clock off");
const QString countdown = QStringLiteral("TIMER -, START green, Zwischen -, STOPP -, Eintragen -, "
                                         "00:00 -; settings off, clock on");
const QString running = QStringLiteral("TIMER -, START -, Zwischen yellow, STOPP red, Eintragen -, "
                                       "00:00 -; settings off, clock on");
const QString stopped = QStringLiteral("TIMER -, START -, Zwischen -, STOPP -, Eintragen skyblue, "
                                       "00:00 black; settings off, clock off");

const QColor lime(0x00FF00);
const QColor yellow(0xFFFF00);
const QColor orange(0xF3A705);

} // namespace

// The run clock in the main window, driven by the real keys and mouse presses on a clock the
// test moves by hand.
class TestMainWindowTiming : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keysAndButtonsDriveTheClock_data();
    void keysAndButtonsDriveTheClock();
    void autoEntryAfterFiveSecondsEntersOnce();
    void countdownStartsTheRunByItself();
    void entryMovesTheSelection_data();
    void entryMovesTheSelection();
    void finalPageEntry_data();
    void finalPageEntry();
    void closeQuestionWhileTheClockRuns_data();
    void closeQuestionWhileTheClockRuns();
    void competitorStaysWhileRunning();
    void hiddenButtonsKeepTheirKeys_data();
    void hiddenButtonsKeepTheirKeys();
    void autoEntryBoxGoesIntoTheSettings();
    void newProtocolForgetsTheBestTime();
};

void TestMainWindowTiming::keysAndButtonsDriveTheClock_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("controls");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("row1");

    const QString untouched = QStringLiteral("11 . . . .");
    QTest::newRow("start-up") << QStringList{} << ready << "010,00"
                              << "000,00" << orange << untouched;
    QTest::newRow("F5") << QStringList{"F5", "+1500"} << running << "001,50"
                        << "000,00" << lime << untouched;
    QTest::newRow("F5 F6") << QStringList{"F5", "+2000", "F6", "+500"} << running << "002,50"
                           << "002,00" << yellow << untouched;
    QTest::newRow("F5 F6 F8 gives the speed")
        << QStringList{"F5", "+10000", "F6", "+1800", "F8"} << stopped << "011,80"
        << "100,00" << yellow << untouched;
    QTest::newRow("F5 F8 truncates") << QStringList{"F5", "+12349", "F8"} << stopped << "012,34"
                                     << "000,00" << lime << untouched;
    QTest::newRow("F5 F8 F9 enters") << QStringList{"F5", "+12349", "F8", "F9"} << ready << "010,00"
                                     << "012,34" << orange << "11 1234 . . .";
    QTest::newRow("F10 after stop enters nothing")
        << QStringList{"F5", "+12349", "F8", "F10"} << ready << "010,00"
        << "000,00" << orange << untouched;
    QTest::newRow("F9 while running does nothing")
        << QStringList{"F5", "+900", "F9"} << running << "000,90"
        << "000,00" << lime << untouched;
    QTest::newRow("F4") << QStringList{"F4", "+2500"} << countdown << "007,50"
                        << "000,00" << orange << untouched;
    QTest::newRow("F4 while running does nothing")
        << QStringList{"F5", "+3000", "F4", "+1000"} << running << "004,00"
        << "000,00" << lime << untouched;
    QTest::newRow("F4 after stop does nothing")
        << QStringList{"F5", "+3000", "F8", "F4"} << stopped << "003,00"
        << "000,00" << lime << untouched;
    QTest::newRow("START acts on the press")
        << QStringList{"press:bSTART", "+400"} << running << "000,40"
        << "000,00" << lime << untouched;
    QTest::newRow("Zwischen acts on the press")
        << QStringList{"F5", "+700", "press:bLAP"} << running << "000,70"
        << "000,70" << yellow << untouched;
    QTest::newRow("STOPP acts on the press")
        << QStringList{"F5", "+2220", "press:bSTOP"} << stopped << "002,22"
        << "000,00" << lime << untouched;
    QTest::newRow("Eintragen acts on the click")
        << QStringList{"F5", "+2220", "F8", "click:bEintragen"} << ready << "010,00"
        << "002,22" << orange << "11 222 . . .";
    QTest::newRow("a press on Eintragen does nothing")
        << QStringList{"F5", "+2220", "F8", "press:bEintragen"} << stopped << "002,22"
        << "000,00" << lime << untouched;
    QTest::newRow("00:00 acts on the press")
        << QStringList{"F5", "+2220", "F8", "press:bRESET"} << ready << "010,00"
        << "000,00" << orange << untouched;
}

void TestMainWindowTiming::keysAndButtonsDriveTheClock() {
    QFETCH(QStringList, steps);
    QFETCH(QString, controls);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QFETCH(QColor, colour);
    QFETCH(QString, row1);
    TimingWindowFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run(steps));
    QCOMPARE(f.controls(), controls);
    QCOMPARE(f.displayRow(DisplayRow::Upper), upper);
    QCOMPARE(f.displayRow(DisplayRow::Lower), lower);
    QCOMPARE(f.upperColour(), colour);
    QCOMPARE(f.heatRow(1), row1);
    QCOMPARE(f.heatRow(2), QStringLiteral("12 . . . ."));
    // Whatever happened, no entry is still waiting once the clock is back to Ready.
    if (controls == ready)
        QVERIFY(!f.window().session().clock().isAutoEntryPending());
}

void TestMainWindowTiming::autoEntryAfterFiveSecondsEntersOnce() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run({"F5", "+31416", "F8"}));
    QElapsedTimer waited;
    waited.start();
    QTRY_COMPARE_WITH_TIMEOUT(f.controls(), ready, 8000);
    QVERIFY(waited.elapsed() >= 4900);
    QCOMPARE(f.heatRow(1), QStringLiteral("11 3141 . . ."));
    QCOMPARE(f.window().session().competition().heatStartList().selectedRow(), 2);
    QCOMPARE(f.window().session().currentCompetitor(), QStringLiteral("12 Name2 Vorname2"));
    QTest::qWait(300);
    QCOMPARE(f.heatRow(1), QStringLiteral("11 3141 . . ."));
    QCOMPARE(f.heatRow(2), QStringLiteral("12 . . . ."));
}

void TestMainWindowTiming::countdownStartsTheRunByItself() {
    TimingWindowFixture f;
    QVERIFY(f.run({"F4", "+9990"}));
    QCOMPARE(f.controls(), countdown);
    QCOMPARE(f.displayRow(DisplayRow::Upper), QStringLiteral("000,01"));
    QVERIFY(f.run({"+10"}));
    const qint64 zero = f.ticks().nowMicroseconds();
    QTRY_COMPARE(f.controls(), running);
    const RunClock& clock = f.window().session().clock();
    QCOMPARE(clock.startStamp(), zero);
    QCOMPARE(f.upperColour(), lime);
    QVERIFY(f.run({"+1230", "F8"}));
    QCOMPARE(f.displayRow(DisplayRow::Upper), QStringLiteral("001,23"));
}

void TestMainWindowTiming::entryMovesTheSelection_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("next");
    QTest::addColumn<QString>("competitor");
    QTest::newRow("next row") << 3 << 0 << 1 << 2 << "12 Name2 Vorname2";
    QTest::newRow("last row wraps") << 3 << 0 << 3 << 1 << "11 Name1 Vorname1";
    QTest::newRow("single row stays") << 1 << 0 << 1 << 1 << "11 Name1 Vorname1";
    // On the heat results page the heat start list takes the run; the shown page keeps the
    // competitor, as a row selection there does.
    QTest::newRow("heat results page") << 3 << 1 << 3 << 1 << "";
}

void TestMainWindowTiming::entryMovesTheSelection() {
    QFETCH(int, rows);
    QFETCH(int, page);
    QFETCH(int, selected);
    QFETCH(int, next);
    QFETCH(QString, competitor);
    TimingWindowFixture f;
    f.addCompetitors(rows);
    CompetitionTable& heat = f.window().session().competition().heatStartList();
    f.window().stagePages()->setCurrentIndex(page);
    heat.setRow(selected);
    f.window().session().setCurrentCompetitor(QString(), QString());
    f.window().mainStatusBar()->setPanelText(MainStatusBar::RowPosition, QStringLiteral("x"));
    QVERIFY(f.run({"F5", "+1000", "F8", "F9"}));
    QCOMPARE(heat.cell(6, selected), QStringLiteral("100"));
    QCOMPARE(heat.selectedRow(), next);
    QCOMPARE(f.window().session().currentCompetitor(), competitor);
    const QString position = page == 0 ? QStringLiteral("%1:%2").arg(next).arg(rows) : "x";
    QCOMPARE(f.window().statusPanelText(MainStatusBar::RowPosition), position);
}

void TestMainWindowTiming::finalPageEntry_data() {
    QTest::addColumn<int>("competitors");
    QTest::addColumn<QString>("heatRowAfter");
    QTest::newRow("competitor of the final") << 3 << "";
    // Without a start number the run is kept as a new row of the heat start list.
    QTest::newRow("row without a number") << 0 << "1 . . . 456";
}

void TestMainWindowTiming::finalPageEntry() {
    QFETCH(int, competitors);
    QFETCH(QString, heatRowAfter);
    TimingWindowFixture f;
    Competition& c = f.window().session().competition();
    CompetitionTable& heat = c.heatStartList();
    for (int i = 1; i <= competitors; ++i) {
        heat.appendRow({QString::number(20 + i), QStringLiteral("N"), QStringLiteral("V"),
                        QStringLiteral("C"), QStringLiteral("2"), QString(),
                        QString::number(1000 + i), QString::number(1100 + i),
                        QString::number(1200 + i)});
    }
    f.window().stagePages()->setCurrentIndex(2);
    CompetitionTable& finals = c.finalStartList();
    finals.setRow(finals.rowsWithHeader() - 1);
    const int row = finals.selectedRow();
    const QString number = finals.cell(0, row);
    QVERIFY(f.run({"F5", "+4567", "F8", "F9"}));
    QCOMPARE(f.controls(), ready);
    if (competitors > 0) {
        QCOMPARE(finals.cell(7, row), QStringLiteral("456"));
        QCOMPARE(heat.cell(9, heat.findRow(0, number)), QStringLiteral("456"));
        QCOMPARE(finals.selectedRow(), 1);
    } else {
        QCOMPARE(f.heatRow(1), heatRowAfter);
    }
    // The run survives the next derivation of the final start list.
    f.window().stagePages()->setCurrentIndex(0);
    f.window().stagePages()->setCurrentIndex(2);
    const int after = finals.findRow(0, competitors > 0 ? number : QStringLiteral("1"));
    if (competitors > 0)
        QCOMPARE(finals.cell(7, after), QStringLiteral("456"));
    else
        QCOMPARE(f.heatRow(1), heatRowAfter);
}

void TestMainWindowTiming::closeQuestionWhileTheClockRuns_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("asked");
    QTest::newRow("ready") << QStringList{} << false;
    QTest::newRow("countdown") << QStringList{"F4"} << true;
    QTest::newRow("running") << QStringList{"F5"} << true;
    // A stopped time not yet entered would be lost.
    QTest::newRow("stopped") << QStringList{"F5", "+10", "F8"} << true;
    QTest::newRow("entered") << QStringList{"F5", "+10", "F8", "F9"} << false;
}

void TestMainWindowTiming::closeQuestionWhileTheClockRuns() {
    QFETCH(QStringList, steps);
    QFETCH(bool, asked);
    TimingWindowFixture f;
    QVERIFY(f.run(steps));
    f.answers().answer = false;
    QCOMPARE(f.window().close(), !asked);
    QCOMPARE(f.answers().questions.size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(f.answers().questions.first(), QStringLiteral("Beenden?"));
}

void TestMainWindowTiming::competitorStaysWhileRunning() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    CompetitionTable& heat = f.window().session().competition().heatStartList();
    heat.setRow(2);
    QVERIFY(f.run({"F5"}));
    QCOMPARE(f.window().session().currentCompetitor(), QStringLiteral("12 Name2 Vorname2"));
    heat.setRow(3);
    QCOMPARE(f.window().session().currentCompetitor(), QStringLiteral("12 Name2 Vorname2"));
    QCOMPARE(f.window().statusPanelText(MainStatusBar::RowPosition), QStringLiteral("3:3"));
    // Stopped, the time still belongs to him: the audience keeps seeing who slid.
    QVERIFY(f.run({"+10", "F8"}));
    heat.setRow(1);
    QCOMPARE(f.window().session().currentCompetitor(), QStringLiteral("12 Name2 Vorname2"));
    QCOMPARE(f.window().session().currentClub(), QStringLiteral("Verein2"));
}

void TestMainWindowTiming::hiddenButtonsKeepTheirKeys_data() {
    QTest::addColumn<int>("timer");
    QTest::addColumn<int>("len");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    // Without a countdown F4 does nothing and F5 starts; without a last section the hidden
    // "Zwischen" still splits on F6, and no speed replaces the split at the stop.
    QTest::newRow("no countdown") << 0 << 50 << "003,00"
                                  << "090,00";
    QTest::newRow("no last section") << 10000 << 0 << "003,00"
                                     << "001,00";
}

void TestMainWindowTiming::hiddenButtonsKeepTheirKeys() {
    QFETCH(int, timer);
    QFETCH(int, len);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    TimingWindowFixture f;
    SettingsChoices choices;
    choices.timerSeconds = timer / 1000.0;
    choices.lengthMetres = len;
    f.window().settingsCommand().applier().apply(choices);
    QCOMPARE(f.window().header()->countdownButton->isHidden(), timer == 0);
    QCOMPARE(f.window().header()->intermediateButton->isHidden(), len == 0);
    QVERIFY(f.run({"F4", "+500", "F5", "+1000", "F6", "+2000", "F8"}));
    QCOMPARE(f.displayRow(DisplayRow::Upper), upper);
    QCOMPARE(f.displayRow(DisplayRow::Lower), lower);
}

void TestMainWindowTiming::autoEntryBoxGoesIntoTheSettings() {
    TimingWindowFixture f;
    QCheckBox* automatic = f.window().header()->autoEntryBox;
    QVERIFY(automatic->isChecked());
    QTest::mouseClick(automatic, Qt::LeftButton);
    QVERIFY(!f.window().session().settings().autoReset);
    QVERIFY(f.run({"F5", "+1000", "F8"}));
    QVERIFY(!f.window().session().clock().isAutoEntryPending());
}

void TestMainWindowTiming::newProtocolForgetsTheBestTime() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run({"F5", "+2220", "F8", "F9"}));
    QCOMPARE(f.displayRow(DisplayRow::Lower), QStringLiteral("002,22"));
    f.answers().answer = true;
    QTest::keyClick(&f.window(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.displayRow(DisplayRow::Lower), QStringLiteral("000,00"));
    // The next run is the new best time, even though it is slower than the forgotten one.
    QVERIFY(f.run({"F5", "+3330", "F8", "F9"}));
    QCOMPARE(f.displayRow(DisplayRow::Lower), QStringLiteral("003,33"));
}

QTEST_MAIN(TestMainWindowTiming)
#include "tst_mainwindow_timing.moc"

#include "competition/widgets/CompetitionTableView.h"
#include "journal/widgets/JournalDialog.h"
#include "journal/widgets/JournalImpulseModel.h"
#include "journal/widgets/JournalWiring.h"
#include "live/LivePublishing.h"
#include "mock/TimingWindowFixture.h"
#include "session/RaceSession.h"
#include "settings/Settings.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/SubstituteTimeDialog.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <sys/ioctl.h>

// A run whose stop barrier missed the rider, stopped by key: "Ersatzzeit berechnen..." takes
// System B's time corrected by the run before, and enters it in the competitor's cell in
// place of the key's time. VELMORA_SCREENSHOT_DIR keeps the dialog and the evidence PDF.
class TestSubstituteTimeXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missedStopGetsTheSubstitute();
    void earlierDnfRunFromPopupAndJournal();
    void fullCompetitorToldOfTheNewRow();
};

namespace {

// Confirms the substitute dialog once it shows; holds its result, nothing when none showed.
std::shared_ptr<std::optional<qint32>> confirmDialog(QObject* context, const QString& screenshot) {
    auto result = std::make_shared<std::optional<qint32>>();
    QTimer::singleShot(200, context, [result, screenshot] {
        auto* dialog = qobject_cast<SubstituteTimeDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        *result = dialog->resultHundredths();
        const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            dialog->grab().save(QDir(dir).filePath(screenshot));
        QTest::mouseClick(dialog->enterButton, Qt::LeftButton);
    });
    return result;
}

// Three competitors, System B on RI switched on and the port open and waiting.
bool withSystemB(TimingWindowFixture& f) {
    f.addCompetitors(3);
    RaceSession& timing = f.window().session();
    timing.settings().backupLine = true;
    timing.barriers().applySettings(RaceSession::timingSettings(timing.settings()));
    return timing.port().open(1) && QTest::qWaitFor([&] { return f.device()->isWaiting(); });
}

void keepScreen(const QString& name) {
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(dir).filePath(name));
}

} // namespace

void TestSubstituteTimeXvfb::missedStopGetsTheSubstitute() {
    TimingWindowFixture f(QStringLiteral("/dev/ttyUSB0"));
    RaceSession& timing = f.window().session();
    QVERIFY(withSystemB(f));
    QAction* command = f.window().actions().substituteTime;
    QVERIFY(!command->isEnabled());

    // Run 1: B 13 ms before A.
    QVERIFY(f.run({"F5", "+31000"}));
    f.device()->setLevels(TIOCM_RNG, TIOCM_RNG);
    // The clock moves on only once the monitor has looked, as time would.
    const auto bTaken = [&] {
        return timing.barriers().backupStop().currentRun()->stopB;
    };
    QTRY_VERIFY(bTaken());
    QVERIFY(f.run({"+13"}));
    f.device()->setLevels(TIOCM_CTS, TIOCM_CTS);
    QTRY_COMPARE(timing.clock().state(), RunClock::State::Stopped);
    QVERIFY(f.run({"F9"}));
    f.device()->setLevels(TIOCM_RNG | TIOCM_CTS, 0);
    QVERIFY(f.run({"+5000"}));

    // Run 2: B at 31,455 s, no A; the operator stops by key a little later.
    QVERIFY(f.run({"F5", "+31455"}));
    f.device()->setLevels(TIOCM_RNG, TIOCM_RNG);
    QTRY_VERIFY(bTaken());
    QVERIFY(f.run({"+300", "F8"}));
    QCOMPARE(timing.clock().state(), RunClock::State::Stopped);
    QVERIFY(command->isEnabled());

    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    bool shown = false;
    std::optional<qint32> result;
    QTimer::singleShot(200, this, [&] {
        auto* dialog = qobject_cast<SubstituteTimeDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        result = dialog->resultHundredths();
        if (!dir.isEmpty()) {
            dialog->grab().save(QDir(dir).filePath(QStringLiteral("substitute-dialog.png")));
            QVERIFY(
                dialog->writePdf(QDir(dir).filePath(QStringLiteral("Ersatzzeit-Nachweis.pdf"))));
        }
        QTest::mouseClick(dialog->enterButton, Qt::LeftButton);
    });
    command->trigger();
    QVERIFY(shown);
    QCOMPARE(result, std::optional<qint32>(3146));
    // 31,455 s + 0,013 s = 31,468 s: 31,46 in the cell, not the key's 31,75.
    QCOMPARE(f.heatRow(1), QStringLiteral("11 3101 . . ."));
    QCOMPARE(f.heatRow(2), QStringLiteral("12 3146 . . ."));
    QCOMPARE(timing.clock().state(), RunClock::State::Ready);
    // The auto entry was held: nothing else arrives later.
    QTest::qWait(200);
    QCOMPARE(f.heatRow(3), QStringLiteral("13 . . . ."));
}

// Competitor 12's run ended with F7 while System B stopped it; the runs before and after it have
// both stops. The start list's popup gives the substitute in place of "DNF", "Rückgängig" takes
// it back, and "Zeitprotokoll..." enters it again for the run chosen there.
void TestSubstituteTimeXvfb::earlierDnfRunFromPopupAndJournal() {
    TimingWindowFixture f(QStringLiteral("/dev/ttyUSB0"));
    RaceSession& timing = f.window().session();
    QVERIFY(withSystemB(f));
    const auto backupStop = [&] {
        return timing.barriers().backupStop().currentRun()->stopB;
    };
    const auto timedRun = [&](int bMs, int aAfterBMs) {
        QVERIFY(f.run({"F5", QStringLiteral("+%1").arg(bMs)}));
        f.device()->setLevels(TIOCM_RNG, TIOCM_RNG);
        QTRY_VERIFY(backupStop());
        QVERIFY(f.run({QStringLiteral("+%1").arg(aAfterBMs)}));
        f.device()->setLevels(TIOCM_CTS, TIOCM_CTS);
        QTRY_COMPARE(timing.clock().state(), RunClock::State::Stopped);
        QVERIFY(f.run({"F9"}));
        f.device()->setLevels(TIOCM_RNG | TIOCM_CTS, 0);
        QVERIFY(f.run({"+5000"}));
    };
    timedRun(31000, 13);
    QVERIFY(f.run({"F5", "+31455"}));
    f.device()->setLevels(TIOCM_RNG, TIOCM_RNG);
    QTRY_VERIFY(backupStop());
    QVERIFY(f.run({"+300", "F7"}));
    f.device()->setLevels(TIOCM_RNG, 0);
    QVERIFY(f.run({"+5000"}));
    timedRun(30480, 20);
    QCOMPARE(f.heatRow(2), QStringLiteral("12 DNF . . ."));

    // 31,455 s + (13 + 20) / 2 ms = 31,4715 s.
    CompetitionTableView* view = f.window().tableView(0);
    timing.competition().heatStartList().setRow(2);
    QMenu* popup = view->popupMenu();
    auto* entry = f.window().findChild<QAction*>(QStringLiteral("mErsatzzeitLauf"));
    QVERIFY(entry && popup->actions().contains(entry));
    popup->popup(view->mapToGlobal(QPoint(80, 60)));
    QTRY_VERIFY(popup->isVisible());
    QVERIFY(entry->isEnabled());
    QTest::qWait(100);
    keepScreen(QStringLiteral("substitute-popup.png"));
    popup->close();
    auto result = confirmDialog(this, QStringLiteral("substitute-dnf-dialog.png"));
    entry->trigger();
    QCOMPARE(*result, std::optional<qint32>(3147));
    QCOMPARE(f.heatRow(2), QStringLiteral("12 3147 . . ."));
    const SubstituteMarks& marks = timing.competition().substituteMarks();
    QVERIFY(marks.isSubstitute(QStringLiteral("12"), 0, QStringLiteral("3147")));

    auto* undo = f.window().findChild<QAction*>(QStringLiteral("mUndo"));
    QVERIFY(undo);
    QTest::qWait(50);
    undo->trigger();
    QCOMPARE(f.heatRow(2), QStringLiteral("12 DNF . . ."));

    f.window().actions().journal->trigger();
    JournalDialog* journal = f.window().journal()->dialog();
    QVERIFY(journal);
    QVERIFY(QTest::qWaitForWindowExposed(journal));
    JournalImpulseModel* model = journal->model();
    int dnfRow = -1;
    for (int row = 0; row < model->rowCount() && dnfRow < 0; ++row)
        if (model->entry(row).name == QStringLiteral("Nicht im Ziel"))
            dnfRow = row;
    QVERIFY(dnfRow >= 0);
    // The substitute's row keeps its calculation, though "Rückgängig" took the time back.
    QStringList calculations;
    for (int row = 0; row < model->rowCount(); ++row)
        calculations.append(model->data(model->index(row, 2), Qt::ToolTipRole).toString());
    calculations.removeAll(QString());
    QCOMPARE(calculations.size(), 1);
    QVERIFY2(calculations[0].contains(QStringLiteral("2 Läufen: 1 davor, 1 danach) = 31,47 s")),
             qPrintable(calculations[0]));
    journal->table()->setCurrentIndex(model->index(dnfRow, 0));
    QVERIFY(journal->substituteButton()->isEnabled());
    QTimer::singleShot(300, this, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        keepScreen(QStringLiteral("journal-run-menu.png"));
        menu->close();
    });
    const QRect cell = journal->table()->visualRect(model->index(dnfRow, 2));
    Q_EMIT journal->table()->customContextMenuRequested(cell.center());
    result = confirmDialog(this, QStringLiteral("substitute-journal-dialog.png"));
    QTest::mouseClick(journal->substituteButton(), Qt::LeftButton);
    QCOMPARE(*result, std::optional<qint32>(3147));
    QCOMPARE(f.heatRow(2), QStringLiteral("12 3147 . . ."));
    QVERIFY(marks.isSubstitute(QStringLiteral("12"), 0, QStringLiteral("3147")));
    journal->close();
}

// Competitor 12 has three heat runs when a run of theirs misses the stop barrier: the time goes
// into a new row, and the dialog, the evidence page and the live page say which.
void TestSubstituteTimeXvfb::fullCompetitorToldOfTheNewRow() {
    TimingWindowFixture f(QStringLiteral("/dev/ttyUSB0"));
    RaceSession& timing = f.window().session();
    QVERIFY(withSystemB(f));
    QVERIFY(f.run({"F5", "+31000"}));
    f.device()->setLevels(TIOCM_RNG, TIOCM_RNG);
    const auto bTaken = [&] {
        return timing.barriers().backupStop().currentRun()->stopB;
    };
    QTRY_VERIFY(bTaken());
    QVERIFY(f.run({"+13"}));
    f.device()->setLevels(TIOCM_CTS, TIOCM_CTS);
    QTRY_COMPARE(timing.clock().state(), RunClock::State::Stopped);
    QVERIFY(f.run({"F9"}));
    f.device()->setLevels(TIOCM_RNG | TIOCM_CTS, 0);
    QVERIFY(f.run({"+5000"}));
    CompetitionTable& heat = timing.competition().heatStartList();
    for (int run = 0; run < 3; ++run)
        heat.setCell(6 + run, 2, QStringLiteral("3000"));

    QVERIFY(f.run({"F5", "+31455"}));
    f.device()->setLevels(TIOCM_RNG, TIOCM_RNG);
    QTRY_VERIFY(bTaken());
    QVERIFY(f.run({"+300", "F8"}));
    QString told;
    QString evidence;
    QTimer::singleShot(200, this, [&] {
        auto* dialog = qobject_cast<SubstituteTimeDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        told = dialog->destination->text();
        evidence = SubstituteEvidence::html(dialog->evidence());
        QTest::mouseClick(dialog->enterButton, Qt::LeftButton);
    });
    f.window().actions().substituteTime->trigger();
    const QString newRow = QStringLiteral("Nr. 4 Name Vorname (Verein), Lauf 1 (neue Zeile)");
    QCOMPARE(told, QStringLiteral("Eintragen in: ") + newRow +
                       QStringLiteral("\nNr. 12 Name2 Vorname2 (Verein2) hat schon drei Läufe: "
                                      "die Zeit kommt in eine neue Zeile am Ende der Startliste."));
    QVERIFY2(evidence.contains(QStringLiteral("Teilnehmer: ") + newRow), qPrintable(evidence));
    QCOMPARE(f.heatRow(4), QStringLiteral("4 3146 . . ."));
    QCOMPARE(f.heatRow(2), QStringLiteral("12 3000 3000 3000 ."));
    const std::optional<LiveSnapshot::Result> last = timing.live().snapshot().lastResult;
    QVERIFY(last);
    QCOMPARE(last->competitor, QStringLiteral("4 Name Vorname"));
    QCOMPARE(last->time, QStringLiteral("3146"));
}

QTEST_MAIN(TestSubstituteTimeXvfb)
#include "tst_substitutetime_xvfb.moc"

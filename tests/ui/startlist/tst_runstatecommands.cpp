#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "mock/SessionFixture.h"
#include "timing/RunClock.h"
#include "ui/startlist/RunStateCommands.h"
#include "ui/window/StagePages.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace {

constexpr int rerunEntry = -1;

} // namespace

// The run states and the rerun on a race session alone: the commands need the session, their
// menus and entries and the stage pages, no window.
class TestRunStateCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entries_data();
    void entries();
    void notFinishedFollowsTheClock();
};

void TestRunStateCommands::entries_data() {
    QTest::addColumn<QStringList>("race");
    QTest::addColumn<QStringList>("typed"); // into Nr. 11's runs afterwards
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("entry"); // a RunState::Kind, or rerunEntry
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("hint"); // the state entries' tooltip
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("firstRun"); // Nr. 11's "Zeit1" afterwards

    const QStringList entered{"F5", "+10000", "F8", "F9", "+0"};
    const QString question = QStringLiteral("Lauf 1 von Nr. 11 (1000) wiederholen?");
    QTest::newRow("DNS") << QStringList{} << QStringList{} << 0 << int(RunState::DNS) << false << ""
                         << ""
                         << ""
                         << "DNS";
    QTest::newRow("DSQ") << QStringList{} << QStringList{} << 0 << int(RunState::DSQ) << false << ""
                         << ""
                         << ""
                         << "DSQ";
    QTest::newRow("results page") << QStringList{} << QStringList{} << 1 << int(RunState::DNF)
                                  << false << "Nur in der Startliste und der Endlauf-Startliste"
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("every run taken") << QStringList{} << QStringList{"1000", "1100", "1200"} << 0
                                     << int(RunState::DNS) << false << ""
                                     << ""
                                     << "Alle Läufe von Nr. 11 sind eingetragen"
                                     << "1000";
    QTest::newRow("rerun, Ja") << entered << QStringList{} << 0 << rerunEntry << true << ""
                               << question << ""
                               << "";
    QTest::newRow("rerun, Nein") << entered << QStringList{} << 0 << rerunEntry << false << ""
                                 << question << ""
                                 << "1000";
    // The competitor of a running run keeps his free runs.
    QTest::newRow("running run") << QStringList{"F5", "+1000"} << QStringList{} << 0
                                 << int(RunState::DNS) << false << ""
                                 << ""
                                 << ""
                                 << "";
}

void TestRunStateCommands::entries() {
    QFETCH(QStringList, race);
    QFETCH(QStringList, typed);
    QFETCH(int, page);
    QFETCH(int, entry);
    QFETCH(bool, answer);
    QFETCH(QString, hint);
    QFETCH(QString, asked);
    QFETCH(QString, told);
    QFETCH(QString, firstRun);
    SessionFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run(race));
    CompetitionTable& heat = f.session().competition().heatStartList();
    for (int i = 0; i < typed.size(); ++i)
        heat.setCell(StageTables::Heat::Zeit1 + i, 1, typed.at(i));
    heat.setRow(1);

    QMenu clockMenu;
    QAction rerun;
    QAction notFinished;
    QMenu heatPopup;
    StagePages pages(f.session().competition());
    pages.setTabEnabled(page, true);
    pages.setActivePageSilently(page);
    QString question;
    QString notice;
    RunStateCommands commands({f.session(), clockMenu, rerun, notFinished, heatPopup,
                               *pages.view(2), pages,
                               [&](const QString& text) {
                                   question = text;
                                   return answer;
                               },
                               [&](const QString& text, int) {
                                   notice = text;
                               }},
                              nullptr);

    QAction* state = commands.stateEntry(RunState::Kind(qMax(0, entry)));
    QCOMPARE(state->isEnabled(), hint.isEmpty());
    QCOMPARE(state->toolTip(), hint.isEmpty() ? state->text() : hint); // Qt: the text when none
    (entry == rerunEntry ? &rerun : state)->trigger();
    QCOMPARE(question, asked);
    QCOMPARE(notice, told);
    QCOMPARE(heat.cell(StageTables::Heat::Zeit1, 1), firstRun);
}

void TestRunStateCommands::notFinishedFollowsTheClock() {
    SessionFixture f;
    f.addCompetitors(2);
    QMenu clockMenu;
    QAction rerun;
    QAction notFinished;
    QMenu heatPopup;
    StagePages pages(f.session().competition());
    RunStateCommands commands(
        {f.session(), clockMenu, rerun, notFinished, heatPopup, *pages.view(2), pages, {}, {}},
        nullptr);
    QVERIFY(!notFinished.isEnabled());
    QVERIFY(f.run({"F5", "+2000"}));
    QVERIFY(notFinished.isEnabled());
    notFinished.trigger();
    QVERIFY(!notFinished.isEnabled());
    QCOMPARE(f.session().clock().state(), RunClock::State::Ready);
    CompetitionTable& heat = f.session().competition().heatStartList();
    QCOMPARE(heat.cell(StageTables::Heat::Zeit1, 1), QStringLiteral("DNF"));
    QCOMPARE(heat.selectedRow(), 2);
}

QTEST_MAIN(TestRunStateCommands)
#include "tst_runstatecommands.moc"

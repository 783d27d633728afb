#include "competition/CompetitionTable.h"
#include "competition/RandomProtocol.h"
#include "competition/RunStateEntry.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"
#include "competition/StartListCommands.h"
#include "journal/JournalReader.h"
#include "journal/JournalWriter.h"
#include "mock/SessionFixture.h"
#include "output/registration/HeatStartListRows.h"
#include "session/RunBinding.h"
#include "session/SessionJournal.h"
#include "session/StartListHistory.h"
#include "timing/RunClock.h"

#include <QDate>
#include <QSignalSpy>
#include <QTest>
#include <functional>

using Command = std::function<void(SessionFixture&, StartListHistory&)>;
Q_DECLARE_METATYPE(Command)

// A run belongs to the competitor who was selected at its start. Every command that changes
// the start list while the run is open either leaves the time with that competitor or is
// refused; "Eintragen" writes to him wherever he stands and says so when the selection moved.
class TestRunBinding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandsDuringARun_data();
    void commandsDuringARun();
    void entryWithAnotherRowSelected_data();
    void entryWithAnotherRowSelected();
    void countdownBindsItsCompetitor();
    void notFinishedGoesToTheCompetitor();
    void competitorGoneKeepsTheTime();
    void journalNamesTheCompetitor();
    void journalTimeDuringARunGoesToTheSelectedRow();
    void finalRunFollowsTheRebuiltFinalList();
};

namespace {

using namespace StageTables;

QList<QStringList> rows(SessionFixture& f) {
    return HeatStartListRows::read(f.session().competition().heatStartList());
}

// What an import, an open or a late entry does: the session's rule first, then the new rows.
void replaceWith(SessionFixture& f, const QList<QStringList>& next, int selectRow = -1) {
    if (f.session().admitsStartList(next))
        HeatStartListRows::write(f.session().competition().heatStartList(), next, selectRow);
}

QStringList competitor(int number) {
    return {QString::number(number), QStringLiteral("Name%1").arg(number - 10),
            QStringLiteral("Vorname%1").arg(number - 10),
            QStringLiteral("Verein%1").arg(number - 10), QStringLiteral("1")};
}

// "Nr.:Zeit1" of every row with a first time, in list order.
QString timesEntered(const CompetitionTable& heat) {
    QStringList entered;
    for (int row = 1; row < heat.rowsWithHeader(); ++row) {
        if (!heat.cell(Heat::Zeit1, row).trimmed().isEmpty())
            entered.append(heat.cell(Heat::Nr, row) + u':' + heat.cell(Heat::Zeit1, row));
    }
    return entered.join(u' ');
}

} // namespace

void TestRunBinding::commandsDuringARun_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("stopFirst");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<int>("rowsAfter");

    // Nr. 12 is selected and slides; the time is 12,34 s.
    QTest::newRow("import replace, competitor kept elsewhere")
        << Command([](SessionFixture& f, StartListHistory&) {
               replaceWith(f, {competitor(20), competitor(13), competitor(12)});
           })
        << false << "12:1234" << 3;
    QTest::newRow("import replace without the competitor: refused")
        << Command([](SessionFixture& f, StartListHistory&) {
               replaceWith(f, {competitor(3), competitor(4), competitor(5)});
           })
        << false << "12:1234" << 3;
    QTest::newRow("import replace without him after the stop: asked, kept")
        << Command([](SessionFixture& f, StartListHistory&) { replaceWith(f, {competitor(3)}); })
        << true << "12:1234" << 3;
    QTest::newRow("import append or late entry, selecting the new row")
        << Command([](SessionFixture& f, StartListHistory&) {
               replaceWith(f, rows(f) << competitor(14), 4);
           })
        << false << "12:1234" << 4;
    QTest::newRow("open a file holding him first")
        << Command([](SessionFixture& f, StartListHistory&) {
               replaceWith(f, {competitor(12), competitor(11)});
           })
        << false << "12:1234" << 2;
    QTest::newRow("delete his row: refused") << Command([](SessionFixture& f, StartListHistory&) {
        CompetitionTable& heat = f.session().competition().heatStartList();
        if (f.session().admitsRowChange(heat, heat.selectedRow()))
            heat.deleteRow(heat.selectedRow());
    }) << false << "12:1234" << 3;
    QTest::newRow("delete the row above") << Command([](SessionFixture& f, StartListHistory&) {
        CompetitionTable& heat = f.session().competition().heatStartList();
        if (f.session().admitsRowChange(heat, 1))
            heat.deleteRow(1);
    }) << false << "12:1234" << 2;
    QTest::newRow("insert a row below") << Command([](SessionFixture& f, StartListHistory&) {
        StartListCommands::AddRowBelow(f.session().competition().heatStartList());
    }) << false << "12:1234" << 4;
    QTest::newRow("sort backwards") << Command([](SessionFixture& f, StartListHistory&) {
        f.session().competition().heatStartList().reorderRows({3, 2, 1});
    }) << false << "12:1234" << 3;
    QTest::newRow("rerun of another competitor")
        << Command([](SessionFixture& f, StartListHistory&) {
               CompetitionTable& heat = f.session().competition().heatStartList();
               heat.setCell(Heat::Zeit1, 3, QStringLiteral("1500"));
               heat.setRow(3);
               RunStateEntry::repeatRun(f.session().competition(), 0);
           })
        << false << "12:1234" << 3;
    QTest::newRow("undo of adding him: refused")
        << Command([](SessionFixture&, StartListHistory& history) { history.undo(); }) << false
        << "12:1234" << 3;
    QTest::newRow("undo and redo of a row above")
        << Command([](SessionFixture& f, StartListHistory& history) {
               f.session().competition().heatStartList().deleteRow(1);
               history.settle();
               history.undo();
               history.redo();
           })
        << false << "12:1234" << 2;
    QTest::newRow("new protocol: refused")
        << Command([](SessionFixture& f, StartListHistory&) { replaceWith(f, {}); }) << false
        << "12:1234" << 3;
    QTest::newRow("random results: refused") << Command([](SessionFixture& f, StartListHistory&) {
        if (f.session().admitsStartList({}))
            f.session().startNewProtocol();
    }) << false << "12:1234" << 3;
    QTest::newRow("his name corrected in the cell editor")
        << Command([](SessionFixture& f, StartListHistory&) {
               f.session().competition().heatStartList().commitUserEdit(Heat::Name, 2,
                                                                        QStringLiteral("Meyer"));
           })
        << false << "12:1234" << 3;
}

void TestRunBinding::commandsDuringARun() {
    QFETCH(Command, command);
    QFETCH(bool, stopFirst);
    QFETCH(QString, entered);
    QFETCH(int, rowsAfter);
    SessionFixture f;
    CompetitionTable& heat = f.session().competition().heatStartList();
    // The history holds the adding of the three competitors as its last step.
    StartListHistory history(heat);
    history.setGate(
        [&f](const QList<QStringList>& next) { return f.session().admitsStartList(next); });
    f.addCompetitors(3);
    history.settle();
    heat.setRow(2);
    QVERIFY(f.run({"F5", "+12340"}));
    if (stopFirst)
        QVERIFY(f.run({"F8"}));
    command(f, history);
    QVERIFY(f.run({"F8", "F9"}));
    QCOMPARE(f.session().clock().state(), RunClock::State::Ready);
    QCOMPARE(timesEntered(heat), entered);
    QCOMPARE(heat.rowsWithHeader() - 1, rowsAfter);
}

void TestRunBinding::entryWithAnotherRowSelected_data() {
    QTest::addColumn<int>("owner");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<RunClock::State>("state");
    QTest::newRow("the one who slid")
        << int(RaceSession::EntryOwner::Bound) << "12:1234" << RunClock::State::Ready;
    QTest::newRow("started for the wrong row")
        << int(RaceSession::EntryOwner::Selected) << "13:1234" << RunClock::State::Ready;
    QTest::newRow("not now") << int(RaceSession::EntryOwner::Nobody) << ""
                             << RunClock::State::Stopped;
}

void TestRunBinding::entryWithAnotherRowSelected() {
    QFETCH(int, owner);
    QFETCH(QString, entered);
    QFETCH(RunClock::State, state);
    SessionFixture f;
    f.addCompetitors(3);
    CompetitionTable& heat = f.session().competition().heatStartList();
    heat.setRow(2);
    QStringList asked;
    f.session().setOwnerQuestion(
        [&](const QString& bound, const QString& selected, const QString& time) {
            asked << bound << selected << time;
            return RaceSession::EntryOwner(owner);
        });
    QVERIFY(f.run({"F5", "+12340", "F8"}));
    heat.setRow(3);
    QVERIFY(f.run({"F9"}));
    QCOMPARE(asked, (QStringList{"Nr. 12 Name2 Vorname2", "Nr. 13 Name3 Vorname3", "12,34 s"}));
    QCOMPARE(timesEntered(heat), entered);
    QCOMPARE(f.session().clock().state(), state);
}

void TestRunBinding::countdownBindsItsCompetitor() {
    SessionFixture f;
    f.addCompetitors(3);
    CompetitionTable& heat = f.session().competition().heatStartList();
    heat.setRow(2);
    f.session().settings().timer = 10000;
    f.session().clock().takeSettings(RaceSession::timingSettings(f.session().settings()));
    QVERIFY(f.run({"F4"}));
    QCOMPARE(f.session().clock().state(), RunClock::State::Countdown);
    heat.setRow(3);
    QVERIFY(f.run({"F5", "+12340", "F8"}));
    heat.setRow(2);
    QVERIFY(f.run({"F9"}));
    QCOMPARE(timesEntered(heat), QStringLiteral("12:1234"));
}

void TestRunBinding::notFinishedGoesToTheCompetitor() {
    SessionFixture f;
    f.addCompetitors(3);
    CompetitionTable& heat = f.session().competition().heatStartList();
    heat.setRow(2);
    QVERIFY(f.run({"F5", "+5000"}));
    heat.reorderRows({2, 3, 1});
    heat.setRow(3);
    f.session().clock().notFinished();
    QCOMPARE(heat.cell(Heat::Zeit1, heat.findRow(Heat::Nr, "12")), QStringLiteral("DNF"));
    QCOMPARE(heat.cell(Heat::Zeit1, heat.findRow(Heat::Nr, "11")), QString());
}

void TestRunBinding::competitorGoneKeepsTheTime() {
    SessionFixture f;
    f.addCompetitors(3);
    CompetitionTable& heat = f.session().competition().heatStartList();
    heat.setRow(2);
    QSignalSpy notices(&f.session(), &RaceSession::runNotice);
    QVERIFY(f.run({"F5", "+12340", "F8"}));
    // Nothing of the program removes him now; a cell overwritten all the same is no licence
    // to give his time to the next row.
    heat.setRowCells(2, competitor(30));
    QVERIFY(f.run({"F9"}));
    QCOMPARE(timesEntered(heat), QString());
    QCOMPARE(f.session().clock().state(), RunClock::State::Stopped);
    QVERIFY(!notices.isEmpty());
    QVERIFY(notices.last().at(0).toString().contains(QStringLiteral("Nr. 12 Name2")));
    // Back in the list, he gets it.
    heat.setRowCells(3, competitor(12));
    QVERIFY(f.run({"F9"}));
    QCOMPARE(timesEntered(heat), QStringLiteral("12:1234"));
}

void TestRunBinding::journalNamesTheCompetitor() {
    SessionFixture f;
    f.addCompetitors(3);
    f.session().competition().heatStartList().setRow(3);
    QVERIFY(f.run({"F5", "+12340", "F8", "F9"}));
    SessionJournal* journal = f.session().journal();
    QVERIFY(journal->writer().flush());
    const auto lines = JournalReader::readFile(journal->writer().pathFor(QDate::currentDate()));
    QStringList notes;
    for (const JournalEntry& entry : lines.entries) {
        if (entry.kind == JournalEntry::Kind::Note)
            notes.append(entry.name + u' ' + entry.remark);
    }
    QVERIFY2(notes.contains(QStringLiteral("Lauf für Nr. 13 Name3 Vorname3, Verein3 (Vorlauf)")),
             qPrintable(notes.join(u'|')));
}

void TestRunBinding::journalTimeDuringARunGoesToTheSelectedRow() {
    SessionFixture f;
    f.addCompetitors(3);
    CompetitionTable& heat = f.session().competition().heatStartList();
    heat.setRow(2);
    QVERIFY(f.run({"F5", "+12340"}));
    // A time the operator takes from the journal for another competitor.
    heat.setRow(3);
    f.session().enterResult(5000);
    QVERIFY(f.run({"F8", "F9"}));
    QCOMPARE(timesEntered(heat), QStringLiteral("12:1234 13:500"));
}

void TestRunBinding::finalRunFollowsTheRebuiltFinalList() {
    SessionFixture f;
    RaceSession& session = f.session();
    Competition& c = session.competition();
    RandomProtocol::generateRandomProtocol(c, session.random(), session.derivation());
    StartListCommands::DeleteResults(c, 2);
    session.derivation().deriveAll();
    CompetitionTable& finals = c.finalStartList();
    QVERIFY(finals.rowsWithHeader() > 3);
    session.setActivePage([] { return 2; });
    finals.setRow(2);
    const QString number = finals.cell(FinalStart::Nr, 2);
    QVERIFY(f.run({"F5", "+12340"}));
    // A heat list edited meanwhile rebuilds the final start list in another order.
    CompetitionTable& heat = c.heatStartList();
    QList<int> backwards;
    for (int row = heat.rowsWithHeader() - 1; row >= 1; --row)
        backwards.append(row);
    heat.reorderRows(backwards);
    // The final start list is written anew, as its derivation does, with the selection left
    // at its index.
    QList<QStringList> rebuilt;
    for (int row = finals.rowsWithHeader() - 1; row >= 1; --row)
        rebuilt.append(finals.rowCells(row));
    finals.beginUpdate();
    for (int i = 0; i < rebuilt.size(); ++i)
        finals.setRowCells(i + 1, rebuilt.at(i));
    finals.endUpdate();
    QVERIFY(finals.cell(FinalStart::Nr, 2) != number);
    QVERIFY(f.run({"F8", "F9"}));
    QCOMPARE(heat.cell(Heat::Zeit4, heat.findRow(Heat::Nr, number)), QStringLiteral("1234"));
}

QTEST_MAIN(TestRunBinding)
#include "tst_runbinding.moc"

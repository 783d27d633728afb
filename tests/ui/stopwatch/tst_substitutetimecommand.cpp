#include "competition/Competition.h"
#include "competition/SubstituteEntry.h"
#include "journal/JournalRunIndex.h"
#include "mock/FakeFileDialogs.h"
#include "mock/SessionFixture.h"
#include "session/SessionJournal.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/SubstituteTimeCommand.h"

#include <QAction>
#include <QTest>

// Where "Ersatzzeit berechnen..." and "Handzeit eintragen..." are offered: the popup entries for
// the selected competitor's last run only where the journal tells of that run, the "Stoppuhr"
// entries only for a stopped run; elsewhere they are disabled and say why.
class TestSubstituteTimeCommand : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offeredWhereTheyWork_data();
    void offeredWhereTheyWork();
    void earlierSessionsReadInTheBackground();
};

void TestSubstituteTimeCommand::offeredWhereTheyWork_data() {
    QTest::addColumn<QStringList>("race");
    QTest::addColumn<QString>("typed"); // typed by hand into Nr. 11's first run afterwards
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("why"); // the popup entries' hint, empty when they are enabled
    QTest::addColumn<bool>("waiting");
    QTest::addColumn<QString>("refusal"); // of the clock's run in "Zeitprotokoll"

    const QStringList entered{"F5", "+30000", "F8", "F9", "+0"};
    const QString noRun = QStringLiteral("Für die gewählte Zeile ist noch kein Lauf eingetragen");
    QTest::newRow("run entered") << entered << "" << 0 << 1 << "" << false << "";
    QTest::newRow("results page") << entered << "" << 1 << 1
                                  << "Nur in der Startliste und der Endlauf-Startliste" << false
                                  << "";
    QTest::newRow("no run yet") << entered << "" << 0 << 2 << noRun << false << "";
    QTest::newRow("typed by hand")
        << QStringList{} << "3000" << 0 << 1
        << "Der Lauf steht nicht im Zeitprotokoll: keine Ersatzzeit möglich" << false << "";
    QTest::newRow("stopped, not entered")
        << QStringList{"F5", "+30000", "F8"} << "" << 0 << 1 << noRun << true << "";
    QTest::newRow("running") << QStringList{"F5", "+30000"} << "" << 0 << 1 << noRun << false
                             << "Der Lauf ist noch nicht gestoppt";
}

void TestSubstituteTimeCommand::offeredWhereTheyWork() {
    QFETCH(QStringList, race);
    QFETCH(QString, typed);
    QFETCH(int, page);
    QFETCH(int, row);
    QFETCH(QString, why);
    QFETCH(bool, waiting);
    QFETCH(QString, refusal);
    SessionFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run(race));
    QTRY_VERIFY(f.session().journal()->runIndex().runs());
    CompetitionTable& heat = f.session().competition().heatStartList();
    if (!typed.isEmpty())
        heat.setCell(SubstituteEntry::heatColumn(0), 1, typed);
    heat.setRow(row);
    f.session().setActivePage([page] { return page; });

    FakeFileDialogs files;
    QAction substitute;
    QAction hand;
    QString told;
    SubstituteTimeCommand::Hooks hooks;
    hooks.tell = [&told](const QString& text) {
        told = text;
    };
    SubstituteTimeCommand command(f.session(), files, substitute, hand, nullptr, hooks);
    command.refreshCompetitorEntries();
    for (QAction* entry : {command.competitorSubstitute(), command.competitorHand()}) {
        QCOMPARE(entry->isEnabled(), why.isEmpty());
        QCOMPARE(entry->toolTip(), why);
    }
    for (QAction* entry : {&substitute, &hand}) {
        QCOMPARE(entry->isEnabled(), waiting);
        QCOMPARE(entry->toolTip().isEmpty(), waiting);
    }
    QCOMPARE(command.journalRunRefusal(f.session().clock().startStamp()), refusal);
    // Chosen all the same, the entry tells why and opens nothing.
    if (!why.isEmpty()) {
        command.competitorRun(false);
        QCOMPARE(told, why);
    }
}

// After a restart the run entered before it is offered once the journal is read, which happens
// in the background: until then the entries wait and say so, never the window.
void TestSubstituteTimeCommand::earlierSessionsReadInTheBackground() {
    SessionFixture f;
    f.addCompetitors(3);
    QVERIFY(f.run({"F5", "+30000", "F8", "F9", "+0"}));
    f.restartSession();
    f.session().competition().heatStartList().setRow(1);
    FakeFileDialogs files;
    QAction substitute;
    QAction hand;
    SubstituteTimeCommand command(f.session(), files, substitute, hand, nullptr, {});
    QAction* entry = command.competitorSubstitute();
    QVERIFY(!entry->isEnabled());
    QCOMPARE(entry->toolTip(), JournalRunIndex::readingText());
    QCOMPARE(command.journalRunRefusal(0), JournalRunIndex::readingText());
    QTRY_VERIFY(entry->isEnabled());
    QCOMPARE(entry->toolTip(), QString());
    QCOMPARE(command.journalRunRefusal(0), QString());
}

QTEST_MAIN(TestSubstituteTimeCommand)
#include "tst_substitutetimecommand.moc"

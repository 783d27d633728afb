#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "competition/SubstituteEntry.h"
#include "mock/FileBytes.h"
#include "mock/WindowFixture.h"
#include "session/RaceSession.h"
#include "session/StartListHistory.h"
#include "session/SubstituteMarksBackup.h"

#include <QFile>
#include <QTest>
#include <functional>

// The substitute marks beside the backup: read at start (a damaged line passed over and told),
// kept in step with every entry, undo and "Neue", so a restart finds what the tables showed.
class TestSubstituteMarksBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keptAcrossRestart();
    void undoneEntryIsNoSubstitute_data();
    void undoneEntryIsNoSubstitute();
    void marksFollowUndoAndRedo_data();
    void marksFollowUndoAndRedo();
};

namespace {

const QString kBackup = QStringLiteral("Velmora-Sicherungsdatei.txt");
const QString kMarks = QStringLiteral("Velmora-Sicherungsdatei-Ersatzzeiten.txt");

const QByteArray kBackupBytes =
    "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\tZeit3\tZeit4\tZeit5\t\r\n"
    "11\tBerg\tAnna\tSV Nord\t1\t \t3101\t3146\tDNF\t \t \t\r\n"
    "12\tHahn\tOle\tSV Nord\t1\t \t3000\t \t \t \t \t\r\n";

bool isSubstitute(RaceSession& session, int run) {
    const CompetitionTable& heat = session.competition().heatStartList();
    return session.competition().substituteMarks().isSubstitute(
        QStringLiteral("11"), run, heat.cell(SubstituteEntry::heatColumn(run), 1));
}

} // namespace

void TestSubstituteMarksBackup::keptAcrossRestart() {
    InstallationFixture install;
    QVERIFY(install.writeFile(kBackup, kBackupBytes));
    const QByteArray damaged = "11\t2\t3146\t\r\nkaputt\r\n";
    QVERIFY(install.writeFile(kMarks, damaged));
    {
        RaceSession session(install.environment());
        session.start();
        QVERIFY(isSubstitute(session, 1));
        QVERIFY(!isSubstitute(session, 0));
        QVERIFY(session.substituteMarksNotice().contains(install.filePath(kMarks)));
        // Read, not rewritten: the damaged line stays there to be looked at.
        QCOMPARE(FileBytes::readFile(install.filePath(kMarks)), damaged);
        QVERIFY(SubstituteEntry::replaceRun(session.competition(), QStringLiteral("11"), 2,
                                            QStringLiteral("3050")));
        QCOMPARE(FileBytes::readFile(install.filePath(kMarks)),
                 QByteArray("11\t2\t3146\t\r\n11\t3\t3050\t\r\n"));
        session.shutdown();
    }
    {
        RaceSession session(install.environment());
        session.start();
        QVERIFY(isSubstitute(session, 2));
        QVERIFY(session.substituteMarksNotice().isEmpty());
        session.startNewProtocol();
        QVERIFY(session.competition().substituteMarks().isEmpty());
        QVERIFY(!QFile::exists(install.filePath(kMarks)));
    }
}

void TestSubstituteMarksBackup::undoneEntryIsNoSubstitute_data() {
    QTest::addColumn<int>("run");
    QTest::addColumn<QString>("before");
    QTest::newRow("DNF of F7") << 2 << "DNF";
    QTest::newRow("key time") << 0 << "3101";
}

void TestSubstituteMarksBackup::undoneEntryIsNoSubstitute() {
    QFETCH(int, run);
    QFETCH(QString, before);
    InstallationFixture install;
    QVERIFY(install.writeFile(kBackup, kBackupBytes));
    RaceSession session(install.environment());
    session.start();
    CompetitionTable& heat = session.competition().heatStartList();
    StartListHistory history(heat);
    const int column = SubstituteEntry::heatColumn(run);
    QVERIFY(SubstituteEntry::replaceRun(session.competition(), QStringLiteral("11"), run,
                                        QStringLiteral("3146")));
    QVERIFY(isSubstitute(session, run));
    history.settle();
    history.undo();
    QCOMPARE(heat.cell(column, 1), before);
    QVERIFY(!isSubstitute(session, run));
    QVERIFY(!QFile::exists(install.filePath(kMarks)));
    history.redo();
    QCOMPARE(heat.cell(column, 1), QStringLiteral("3146"));
    QVERIFY(isSubstitute(session, run));
    QCOMPARE(FileBytes::readFile(install.filePath(kMarks)),
             QByteArray("11\t") + QByteArray::number(run + 1) + "\t3146\t\r\n");
}

using SessionChange = std::function<void(RaceSession&)>;

void TestSubstituteMarksBackup::marksFollowUndoAndRedo_data() {
    QTest::addColumn<SessionChange>("change");
    QTest::addColumn<int>("run");
    QTest::addColumn<bool>("markedAfter");
    QTest::newRow("Neue") << SessionChange([](RaceSession& s) { s.startNewProtocol(); }) << 1
                          << false;
    // No cell changes: only the mark does.
    QTest::newRow("substitute equal to the key time") << SessionChange([](RaceSession& s) {
        SubstituteEntry::replaceRun(s.competition(), QStringLiteral("11"), 0,
                                    QStringLiteral("3101"));
    }) << 0 << true;
}

void TestSubstituteMarksBackup::marksFollowUndoAndRedo() {
    QFETCH(SessionChange, change);
    QFETCH(int, run);
    QFETCH(bool, markedAfter);
    InstallationFixture install;
    QVERIFY(install.writeFile(kBackup, kBackupBytes));
    const QByteArray marks = "11\t2\t3146\t\r\n";
    QVERIFY(install.writeFile(kMarks, marks));
    RaceSession session(install.environment());
    session.start();
    StartListHistory history(session.competition());
    const bool markedBefore = isSubstitute(session, run);
    change(session);
    QCOMPARE(isSubstitute(session, run), markedAfter);
    history.settle();
    history.undo();
    QCOMPARE(isSubstitute(session, run), markedBefore);
    QCOMPARE(FileBytes::readFile(install.filePath(kMarks)), marks);
    history.redo();
    QCOMPARE(isSubstitute(session, run), markedAfter);
}

QTEST_MAIN(TestSubstituteMarksBackup)
#include "tst_substitutemarksbackup.moc"

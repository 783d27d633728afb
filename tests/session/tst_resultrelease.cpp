#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "cup/CupRaceReader.h"
#include "journal/JournalEntry.h"
#include "journal/JournalRecorder.h"
#include "live/LivePageRenderer.h"
#include "live/LiveSnapshotBuilder.h"
#include "live/LiveSnapshotDelta.h"
#include "live/LiveStateDocument.h"
#include "mock/FileBytes.h"
#include "mock/OfficeTemplates.h"
#include "mock/WindowFixture.h"
#include "output/ExportColumns.h"
#include "output/OfficeDocumentExport.h"
#include "output/ProtocolFile.h"
#include "output/ProtocolPage.h"
#include "output/ReleaseSection.h"
#include "output/WordDocument.h"
#include "output/ZipPackage.h"
#include "publish/MqttTopics.h"
#include "session/RaceSession.h"
#include "session/ResultReleaseKeeper.h"
#include "session/SessionJournal.h"
#include "session/StartListHistory.h"
#include "timing/RunClock.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using namespace StageTables;

// The release of the results through the session: a change after the release makes exactly
// its class preliminary again and says so in the journal, the release outlives a restart and
// travels in the protocol file without troubling its readers, every output carries it, and
// certificates wait for it when the setting asks so.
class TestResultRelease : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void changeReopensItsClassOnly_data();
    void changeReopensItsClassOnly();
    void undoAndRedoReopen();
    void releaseOutlivesRestart_data();
    void releaseOutlivesRestart();
    void protocolFileKeepsReleaseForItsReaders();
    void damagedSectionReadsWhatItCan_data();
    void damagedSectionReadsWhatItCan();
    void outputsCarryTheState_data();
    void outputsCarryTheState();
    void certificatesWaitForRelease_data();
    void certificatesWaitForRelease();
};

namespace {

const QString kBackup = QStringLiteral("Velmora-Sicherungsdatei.txt");

// Two classes with results and a third without.
void fillRace(CompetitionTable& heat) {
    heat.setRowsWithHeader(5);
    heat.setRowCells(1, {"1", "Müller", "Anna", "SV Nord", "1", "", "1024", "1100", "1200"});
    heat.setRowCells(2, {"2", "Meier", "Bernd", "TV Süd", "2", "", "2000", "2100", "2050"});
    heat.setRowCells(3, {"3", "Kurz", "Carl", "TV Süd", "2", "", "1900"});
    heat.setRowCells(4, {"4", "Lang", "Dora", "SV Nord", "3"});
}

QStringList released(const RaceSession& session) {
    return session.competition().release().entries().keys();
}

// The journal lines of the session from now on.
struct JournalLines {
    explicit JournalLines(RaceSession& session) {
        QObject::connect(&session.journal()->recorder(), &JournalRecorder::recorded, &context,
                         [this](const JournalEntry& entry) { names.append(entry.name); });
    }
    QObject context;
    QStringList names;
};

} // namespace

void TestResultRelease::changeReopensItsClassOnly_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("stillReleased");
    QTest::newRow("time entered") << "time" << QStringList{"1"};
    QTest::newRow("time corrected") << "correct" << QStringList{"2"};
    QTest::newRow("DSQ") << "dsq" << QStringList{"1"};
    QTest::newRow("row deleted") << "delete" << QStringList{"1"};
    QTest::newRow("late entry in class 1") << "late" << QStringList{"2"};
    QTest::newRow("class changed") << "class" << QStringList{};
    QTest::newRow("list sorted") << "sort" << QStringList{"1", "2"};
    QTest::newRow("class without results") << "other" << QStringList{"1", "2"};
    QTest::newRow("times rewritten as seconds") << "notation" << QStringList{"1", "2"};
}

void TestResultRelease::changeReopensItsClassOnly() {
    QFETCH(QString, change);
    QFETCH(QStringList, stillReleased);
    InstallationFixture install;
    RaceSession session(install.environment());
    session.start();
    CompetitionTable& heat = session.competition().heatStartList();
    fillRace(heat);
    QCOMPARE(session.release()->releaseAll(), (QStringList{"1", "2"}));
    JournalLines journal(session);
    QSignalSpy notices(session.release(), &ResultReleaseKeeper::notice);
    if (change == u"time")
        heat.setCell(Heat::Zeit4, 3, QStringLiteral("1950"));
    else if (change == u"correct")
        heat.setCell(Heat::Zeit2, 1, QStringLiteral("1101"));
    else if (change == u"dsq")
        heat.setCell(Heat::Zeit3, 2, QStringLiteral("DSQ"));
    else if (change == u"delete")
        heat.deleteRow(3);
    else if (change == u"late")
        heat.setRowCells(4, {"4", "Lang", "Dora", "SV Nord", "1"});
    else if (change == u"class")
        heat.setCell(Heat::Kl, 1, QStringLiteral("2"));
    else if (change == u"sort")
        heat.reorderRows({4, 3, 2, 1});
    else if (change == u"notation")
        heat.setRowCells(1, {"1", "Müller", "Anna", "SV Nord", "1", "", "10,24", "11,00", "12,00"});
    else
        heat.setCell(Heat::Name, 4, QStringLiteral("Lang-Weg"));
    QCOMPARE(released(session), stillReleased);
    QStringList reopened;
    for (const char* klass : {"1", "2"}) {
        if (!stillReleased.contains(QLatin1String(klass)))
            reopened.append(ResultReleaseKeeper::reopenedText(QLatin1String(klass)));
    }
    QCOMPARE(journal.names.filter(QStringLiteral("wieder vorläufig")), reopened);
    QCOMPARE(notices.size(), reopened.size());
}

void TestResultRelease::undoAndRedoReopen() {
    InstallationFixture install;
    RaceSession session(install.environment());
    session.start();
    StartListHistory history(session.competition());
    CompetitionTable& heat = session.competition().heatStartList();
    fillRace(heat);
    history.settle();
    heat.setCell(Heat::Zeit3, 3, QStringLiteral("1800"));
    history.settle();
    session.release()->releaseAll();
    history.undo();
    QCOMPARE(released(session), QStringList{"1"});
    session.release()->releaseAll();
    history.redo();
    QCOMPARE(released(session), QStringList{"1"});
}

void TestResultRelease::releaseOutlivesRestart_data() {
    QTest::addColumn<QByteArray>("edit"); // replaced in the backup while the program is off
    QTest::addColumn<QStringList>("stillReleased");
    QTest::newRow("as left") << QByteArray() << QStringList{"1", "2"};
    QTest::newRow("class 2 edited meanwhile") << QByteArray("2050") << QStringList{"1"};
}

void TestResultRelease::releaseOutlivesRestart() {
    QFETCH(QByteArray, edit);
    QFETCH(QStringList, stillReleased);
    InstallationFixture install;
    {
        RaceSession first(install.environment());
        first.start();
        fillRace(first.competition().heatStartList());
        first.release()->releaseAll();
        first.shutdown();
    }
    if (!edit.isEmpty()) {
        QByteArray bytes = FileBytes::readFile(install.filePath(kBackup));
        bytes.replace(edit, "2051");
        QVERIFY(install.writeFile(kBackup, bytes));
    }
    RaceSession second(install.environment());
    second.start();
    QCOMPARE(second.competition().heatStartList().cell(Heat::Name, 2), QStringLiteral("Meier"));
    QCOMPARE(released(second), stillReleased);
    QCOMPARE(second.release()->restoreNotice(),
             edit.isEmpty() ? QString() : ResultReleaseKeeper::reopenedText("2"));
    // A withdrawal is in the file at once, as a time is.
    second.release()->withdraw({"1"});
    QCOMPARE(ReleaseSection::parse(FileBytes::readFile(install.filePath(kBackup))).keys(),
             stillReleased.mid(1));
}

void TestResultRelease::protocolFileKeepsReleaseForItsReaders() {
    InstallationFixture install;
    RaceSession session(install.environment());
    session.start();
    CompetitionTable& heat = session.competition().heatStartList();
    fillRace(heat);
    session.release()->release({"2"});
    const QString path = install.filePath(QStringLiteral("Rennen.txt"));
    QVERIFY(ProtocolFile::SaveProtocolText(heat, path, session.release()->trailer()));
    const QByteArray bytes = FileBytes::readFile(path);
    QVERIFY(bytes.startsWith(ProtocolFile::protocolBytes(heat)));
    // The table reads as it did before the section existed, for the program and for the cup.
    QByteArray trailer;
    const auto rows = ProtocolFile::readProtocolFile(path, heat, &trailer);
    QVERIFY(rows);
    QCOMPARE(rows->size(), 5);
    QCOMPARE(rows->last().at(Heat::Name), QStringLiteral("Lang"));
    QCOMPARE(ReleaseSection::parse(trailer), session.competition().release().entries());
    QString error;
    const auto race = CupRaceReader::fromFile(path, &error);
    QVERIFY2(race, qPrintable(error));
    QCOMPARE(race->entries.size(),
             CupRaceReader::fromProtocolBytes(ProtocolFile::protocolBytes(heat)).size());
    QCOMPARE(race->entries.size(), 4);
}

void TestResultRelease::damagedSectionReadsWhatItCan_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("classes");
    const QByteArray table = "Nr.\tName\r\n1\tA\r\n";
    QTest::newRow("no section") << table << QStringList{};
    QTest::newRow("end-of-file byte only") << table + "\x1A" << QStringList{};
    QTest::newRow("other text after the end") << table + "\x1Axyz\r\n1\tab\r\n" << QStringList{};
    QTest::newRow("two classes, LF only") << table + "\x1A[Freigabe]\n1\t0a1b\nHerren\tff\n"
                                          << QStringList{"1", "Herren"};
    QTest::newRow("broken lines left out")
        << table + "\x1A[Freigabe]\r\n1\tXYZ\r\n\t00\r\nohne Tab\r\n2\t0c\r\n"
        << QStringList{"2"};
}

void TestResultRelease::damagedSectionReadsWhatItCan() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, classes);
    QCOMPARE(ReleaseSection::parse(bytes).keys(), classes);
}

void TestResultRelease::outputsCarryTheState_data() {
    QTest::addColumn<QString>("output");
    for (const char* output :
         {"print", "web page", "word", "excel", "live state", "live page", "mqtt freigabe"})
        QTest::newRow(output) << QString::fromLatin1(output);
}

void TestResultRelease::outputsCarryTheState() {
    QFETCH(QString, output);
    InstallationFixture install;
    RaceSession session(install.environment());
    session.start();
    const Competition& c = session.competition();
    fillRace(session.competition().heatStartList());
    LiveSnapshot previous;
    const auto text = [&]() -> QString {
        const CompetitionTable& table = c.heatStartList();
        if (output == u"print")
            return c.heatResults().printOptions().releaseText;
        if (output == u"web page")
            return QString::fromLatin1(
                ProtocolPage::pageBytes(table, "V", "Vorlauf", {}, c.releaseText()));
        if (output == u"excel")
            return OfficeDocumentExport::withReleaseLine({{"Nr.", "Name"}}, c.releaseText())
                .last()
                .join(u'|');
        LiveSnapshot snapshot = LiveSnapshotBuilder::build(c, session.clock(), {});
        if (output == u"live state")
            return QString::fromUtf8(LiveStateDocument::stateBytes(snapshot));
        if (output == u"live delta") {
            // What a page that is already open is sent.
            const QJsonObject delta = LiveSnapshotDelta::between(previous, snapshot);
            previous = snapshot;
            return QString::fromUtf8(QJsonDocument(delta).toJson());
        }
        if (output == u"live page")
            return QString::fromUtf8(
                LivePageRenderer::render("<div id=release><!--live:release--></div>", snapshot));
        if (output == u"mqtt freigabe")
            return QString::fromUtf8(MqttTopics::retained(snapshot, "v", 0)
                                         .payloads.value(MqttTopics::releaseTopic("v")));
        const auto document = WordDocument::build(
            OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR), "Titel", c.releaseText(),
            ExportColumns::rows(table, ExportColumns::wordColumns(table)));
        return QString::fromUtf8(
            *ZipPackage::fromBytes(*document)->read(QStringLiteral("word/document.xml")));
    };
    QVERIFY2(text().contains(QStringLiteral("Ergebnisse vorläufig")), qPrintable(text()));
    session.release()->release({"2"});
    QVERIFY2(text().contains(QStringLiteral("Ergebnisse vorläufig (offiziell: Klasse 2)")),
             qPrintable(text()));
    session.release()->releaseAll();
    QVERIFY2(text().contains(QStringLiteral("Ergebnisse offiziell")), qPrintable(text()));
    QVERIFY(!text().contains(QStringLiteral("vorläufig")));
}

void TestResultRelease::certificatesWaitForRelease_data() {
    QTest::addColumn<bool>("setting");
    QTest::addColumn<QStringList>("released");
    QTest::addColumn<QStringList>("withheld");
    QTest::newRow("setting off") << false << QStringList{} << QStringList{};
    QTest::newRow("nothing released") << true << QStringList{} << QStringList{"1", "2"};
    QTest::newRow("class 1 released") << true << QStringList{"1"} << QStringList{"2"};
    QTest::newRow("all released") << true << QStringList{"1", "2"} << QStringList{};
}

void TestResultRelease::certificatesWaitForRelease() {
    QFETCH(bool, setting);
    QFETCH(QStringList, released);
    QFETCH(QStringList, withheld);
    InstallationFixture install;
    RaceSession session(install.environment());
    session.start();
    session.settings().certificatesAfterRelease = setting;
    fillRace(session.competition().heatStartList());
    session.release()->release(released);
    QCOMPARE(session.certificatesWithheld(), withheld);
    if (withheld == QStringList{"2"})
        QVERIFY(ResultReleaseKeeper::certificateRefusal(withheld).contains(
            QStringLiteral("der Klasse 2 sind noch vorläufig")));
}

QTEST_MAIN(TestResultRelease)
#include "tst_resultrelease.moc"

#include "competition/Competition.h"
#include "competition/SubstituteEntry.h"
#include "mock/FifoWatchdog.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "mock/MessageBoxCatcher.h"
#include "mock/WindowFixture.h"
#include "output/CsvFile.h"
#include "output/ProtocolFile.h"
#include "output/ProtocolPage.h"
#include "platform/ProgramPaths.h"
#include "session/StartListHistory.h"
#include "ui/startlist/HistoryCommands.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QToolButton>
#include <sys/stat.h>

// "Öffnen...", "Speichern als…" and "Als Webseite speichern" in the window, reached by their
// keys, with the dialogs answered by a script and message boxes caught.
class TestMainWindowFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void saveTextAndReopen();
    void saveAsWritesByType_data();
    void saveAsWritesByType();
    void cancelWritesNothing();
    void failedSaveSaysSo_data();
    void failedSaveSaysSo();
    void unreadableFileLeavesCompetition_data();
    void unreadableFileLeavesCompetition();
    void fileWithoutCompetitorsAsksFirst_data();
    void fileWithoutCompetitorsAsksFirst();
    void webPageWrittenAndOpened_data();
    void webPageWrittenAndOpened();
    void webPageFailureOpensNothing();
    void webPageInUserFolderWhenStartFolderIsReadOnly();
    void substituteMarksGoWithTheProtocol_data();
    void substituteMarksGoWithTheProtocol();
    void otherNotationConvertedOrLeftClosed_data();
    void otherNotationConvertedOrLeftClosed();

private:
    void fill();
    void showPage(int page);
    QByteArray read(const QString& path) const;
    QString tabCaption(int page) const { return m_window->stagePages()->tabText(page); }

    std::unique_ptr<InstallationFixture> m_install;
    std::unique_ptr<MainWindow> m_window;
    QString m_previousDir;
};

namespace {

const QList<QStringList> kRows{
    {"1", "Müller", "Anna", "SV Nord", "1", "+", "1024", "1100", "1200", "900", "950"},
    {"2", "Meier", "Bernd", "TV Süd", "2", "", "2000", "2100", "2050", "", ""},
    {"3", "Lang & Co", "<Ida>", "Ost", "1", "x", "1500", "1400", "", "1000", ""},
};

} // namespace

void TestMainWindowFiles::init() {
    m_install = std::make_unique<InstallationFixture>();
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_install->dir()));
    m_window = std::make_unique<SessionWindow>(m_install->environment());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainWindowFiles::cleanup() {
    m_window.reset();
    QDir::setCurrent(m_previousDir);
    m_install.reset();
}

void TestMainWindowFiles::fill() {
    CompetitionTable& heat = m_window->session().competition().heatStartList();
    heat.setRowsWithHeader(int(kRows.size()) + 1);
    for (int r = 0; r < kRows.size(); ++r)
        heat.setRowCells(r + 1, kRows[r]);
    showPage(0);
}

void TestMainWindowFiles::showPage(int page) {
    // Through a page change, so the derived tables are rebuilt as the operator sees them.
    m_window->stagePages()->setCurrentIndex(page == 0 ? 1 : 0);
    m_window->stagePages()->setCurrentIndex(page);
}

QByteArray TestMainWindowFiles::read(const QString& path) const {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestMainWindowFiles::saveTextAndReopen() {
    fill();
    const QString path = m_install->filePath(QStringLiteral("lauf"));
    m_install->dialogs().answer(path, 1);
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);

    QCOMPARE(m_install->dialogs().saveRequests.size(), 1);
    const FileDialogs::Request request = m_install->dialogs().saveRequests.constFirst();
    QCOMPARE(request.filters, (QStringList{"Textdatei (*.txt)", "MS Excel (*.csv)",
                                           "MS Word (*.docx)", "Webseite (*.html)"}));
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.fileName, ProgramPaths::defaultExportName(QDate::currentDate()));
    QCOMPARE(request.defaultSuffix, QStringLiteral("txt"));

    // Another competition in between, then the saved one again through the open button.
    CompetitionTable& heat = m_window->session().competition().heatStartList();
    heat.setRowsWithHeader(2);
    heat.setRowCells(1, {"9", "Andere", "Eva", "Club", "1", "", "3000", "3000", "3000"});
    showPage(1);
    QVERIFY(m_window->session().competition().heatResults().hasData());
    m_install->dialogs().answer(path + QStringLiteral(".txt"));
    QTest::mouseClick(m_window->header()->openButton, Qt::LeftButton);

    const FileDialogs::Request open = m_install->dialogs().openRequests.constFirst();
    QCOMPARE(open.filters, QStringList{"Textdatei (*.txt)"});
    QCOMPARE(open.defaultSuffix, QStringLiteral("txt"));
    QCOMPARE(heat.rowsWithHeader(), int(kRows.size()) + 1);
    for (int r = 0; r < kRows.size(); ++r) {
        // Empty cells come back as a blank, except "Meister", which keeps only "+".
        QStringList expected = kRows[r];
        for (int c = 0; c < expected.size(); ++c) {
            if (c == 5 && expected[c] != u"+")
                expected[c].clear();
            else if (expected[c].isEmpty())
                expected[c] = QStringLiteral(" ");
        }
        QCOMPARE(heat.rowCells(r + 1), expected);
    }
    // The loaded list is derived at once, on the page that is shown, and is in the backup.
    QCOMPARE(m_window->session().competition().heatResults().cell(2, 1), QStringLiteral("Müller"));
    QVERIFY(m_window->header()->webPageButton->isEnabled());
    QCoreApplication::processEvents();
    QCOMPARE(read(m_window->session().environment().backupFileName()),
             ProtocolFile::protocolBytes(heat));
}

void TestMainWindowFiles::substituteMarksGoWithTheProtocol_data() {
    QTest::addColumn<bool>("marked");
    QTest::newRow("marked run") << true;
    QTest::newRow("none, file from before") << false;
}

void TestMainWindowFiles::substituteMarksGoWithTheProtocol() {
    QFETCH(bool, marked);
    fill();
    Competition& c = m_window->session().competition();
    const QString path = m_install->filePath(QStringLiteral("lauf.txt"));
    const QString companion = m_install->filePath(QStringLiteral("lauf-Ersatzzeiten.txt"));
    QVERIFY(m_install->writeFile(QStringLiteral("lauf-Ersatzzeiten.txt"), "1\t1\t1024\t\r\n"));
    if (marked)
        SubstituteEntry::mark(c, {QStringLiteral("2"), 1, QStringLiteral("2100")});
    m_install->dialogs().answer(path, 1);
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(read(companion), marked ? QByteArray("2\t2\t2100\t\r\n") : QByteArray("<missing>"));

    // The marks of what was shown go; the file's come with it.
    SubstituteEntry::mark(c, {QStringLiteral("1"), 0, QStringLiteral("1024")});
    m_install->dialogs().answer(path);
    QTest::mouseClick(m_window->header()->openButton, Qt::LeftButton);
    QCOMPARE(c.substituteMarks().isSubstitute(QStringLiteral("2"), 1, QStringLiteral("2100")),
             marked);
    QVERIFY(!c.substituteMarks().isSubstitute(QStringLiteral("1"), 0, QStringLiteral("1024")));
}

void TestMainWindowFiles::otherNotationConvertedOrLeftClosed_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QByteArray>("runs"); // Zeit1..Zeit3 in the file
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("shown"); // empty: the file stays closed
    QTest::newRow("13,31 under 1024")
        << 0 << QByteArray("13,31\t13,50\t14,00") << true << QStringList{"1331", "1350", "1400"};
    QTest::newRow("1024 under 10,24")
        << 1 << QByteArray("1024\t9827\t1100") << true << QStringList{"10,24", "98,27", "11,00"};
    QTest::newRow("declined") << 1 << QByteArray("1024\t9827\t1100") << false << QStringList{};
}

void TestMainWindowFiles::otherNotationConvertedOrLeftClosed() {
    QFETCH(int, setting);
    QFETCH(QByteArray, runs);
    QFETCH(bool, answer);
    QFETCH(QStringList, shown);
    ScriptedAnswers answers;
    answers.answer = answer;
    m_window.reset();
    m_window = std::make_unique<SessionWindow>(m_install->environment(&answers));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    fill();
    Competition& c = m_window->session().competition();
    c.setTimeFormat(TimeFormat(setting, u','));
    QVERIFY(m_install->writeFile("andere.txt", "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\t"
                                               "Zeit1\tZeit2\tZeit3\tZeit4\tZeit5\t\r\n"
                                               "7\tNeu\tEva\tClub\t1\t \t" +
                                                   runs + "\t \t \t\r\n"));
    StartListHistory& history = m_window->findChild<HistoryCommands*>()->history();
    history.settle();
    const int steps = history.count();
    const QByteArray before = ProtocolFile::protocolBytes(c.heatStartList());
    m_install->dialogs().answer(m_install->filePath(QStringLiteral("andere.txt")));
    m_window->openProtocol();
    QCOMPARE(answers.questions.size(), 1);
    QVERIFY(answers.questions[0].startsWith("Ergebnis: Die 3 Zeiten dieser Datei"));
    QCOMPARE(c.heatStartList().rowCells(1).mid(6, 3), answer ? shown : kRows[0].mid(6, 3));
    // Loading and converting are one step back.
    history.settle();
    QCOMPARE(history.count(), steps + (answer ? 1 : 0));
    if (answer)
        history.undo();
    QCOMPARE(ProtocolFile::protocolBytes(c.heatStartList()), before);
}

void TestMainWindowFiles::saveAsWritesByType_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("kind");
    QTest::newRow("text") << 1 << 0 << "p"
                          << "p.txt"
                          << "text";
    QTest::newRow("text from heat results page") << 1 << 1 << "p"
                                                 << "p.txt"
                                                 << "text";
    QTest::newRow("csv from final results page") << 2 << 3 << "p"
                                                 << "p.csv"
                                                 << "csv";
    QTest::newRow("html of heat results") << 4 << 1 << "p"
                                          << "p.html"
                                          << "html";
    QTest::newRow("html of final results, own suffix") << 4 << 3 << "p.htm"
                                                       << "p.htm"
                                                       << "html";
    QTest::newRow("unknown index saves text") << 9 << 2 << "p"
                                              << "p.txt"
                                              << "text";
}

void TestMainWindowFiles::saveAsWritesByType() {
    QFETCH(int, index);
    QFETCH(int, page);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, kind);
    fill();
    showPage(page);
    QVERIFY(m_window->session().competition().stageTable(page).hasData());
    m_install->dialogs().answer(m_install->filePath(typed), index);
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);

    const Competition& competition = m_window->session().competition();
    QByteArray expected;
    if (kind == u"text")
        expected = ProtocolFile::protocolBytes(competition.heatStartList());
    else if (kind == u"csv")
        expected = CsvFile::csvBytes(competition.heatStartList());
    else
        expected = ProtocolPage::pageBytes(competition.stageTable(page), QStringLiteral("Velmora"),
                                           tabCaption(page), {}, competition.releaseText());
    QCOMPARE(read(m_install->filePath(written)), expected);
    QCOMPARE(m_window->session().settings().filterInd, index);
    // The next dialog starts on the type chosen last.
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_install->dialogs().saveRequests.last().filterIndex, index);
}

void TestMainWindowFiles::cancelWritesNothing() {
    fill();
    m_window->session().settings().filterInd = 2;
    QCoreApplication::processEvents();
    const QStringList before = QDir(m_install->dir()).entryList(QDir::Files);
    m_install->dialogs().cancel();
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_install->dialogs().saveRequests.size(), 1);
    QCOMPARE(m_window->session().settings().filterInd, 2);
    QCoreApplication::processEvents();
    QCOMPARE(QDir(m_install->dir()).entryList(QDir::Files), before);
}

void TestMainWindowFiles::failedSaveSaysSo_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("text") << 1 << "fehlt/p.txt"
                          << "Der Schreibfehler der Datei: %1";
    QTest::newRow("csv") << 2 << "fehlt/p.csv"
                         << "Can't write to file:\r%1";
    QTest::newRow("html") << 4 << "fehlt/p.html"
                          << "Der Schreibfehler der Datei: %1";
    // %T: the Word template's path, next to the executable.
    QTest::newRow("word, no template") << 3 << "p.docx"
                                       << "Die Wordvorlage %T fehlt; es wurde nichts gespeichert.";
}

void TestMainWindowFiles::failedSaveSaysSo() {
    QFETCH(int, index);
    QFETCH(QString, file);
    QFETCH(QString, message);
    fill();
    const QString path = m_install->filePath(file);
    m_install->dialogs().answer(path, index);
    MessageBoxCatcher boxes;
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(boxes.seen.size(), 1);
    QCOMPARE(boxes.seen[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.seen[0].title, QStringLiteral("Velmora"));
    message.replace(QStringLiteral("%T"),
                    m_install->filePath(QStringLiteral("Protokollvorlage.docx")));
    QCOMPARE(boxes.seen[0].text, message.contains(u"%1") ? message.arg(path) : message);
    QVERIFY(!QFile::exists(path));
}

void TestMainWindowFiles::unreadableFileLeavesCompetition_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("locked");
    QTest::newRow("missing") << "fehlt.txt" << false;
    QTest::newRow("a folder") << "ordner" << false;
    QTest::newRow("no permission") << "gesperrt.txt" << true;
    QTest::newRow("a FIFO") << "fifo.txt" << false;
    QTest::newRow("a link to /dev/zero") << "null.txt" << false;
    QTest::newRow("rows only after the end-of-file byte") << "versteckt.txt" << false;
}

void TestMainWindowFiles::unreadableFileLeavesCompetition() {
    QFETCH(QString, file);
    QFETCH(bool, locked);
    fill();
    QVERIFY(QDir(m_install->dir()).mkdir(QStringLiteral("ordner")));
    QVERIFY(m_install->writeFile(QStringLiteral("gesperrt.txt"), "1\tFremd\t\r\n"));
    QVERIFY(::mkfifo(QFile::encodeName(m_install->filePath("fifo.txt")).constData(), 0600) == 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_install->filePath("null.txt")));
    QVERIFY(m_install->writeFile(QStringLiteral("versteckt.txt"), "Nr.\tName\r\n\x1A"
                                                                  "1\tFremd\t\r\n"));
    QCoreApplication::processEvents();
    CompetitionTable& heat = m_window->session().competition().heatStartList();
    heat.setModified(false);
    const QByteArray before = ProtocolFile::protocolBytes(heat);
    const QByteArray backupBefore = read(m_window->session().environment().backupFileName());
    const int derivedRows = m_window->session().competition().heatResults().rowsWithHeader();

    const QString path = m_install->filePath(file);
    m_install->dialogs().answer(path);
    MessageBoxCatcher boxes;
    {
        std::optional<FileSystemFaults::UnreadableFile> lock;
        if (locked) {
            lock.emplace(path);
            QVERIFY(lock->effective());
        }
        FifoWatchdog watchdog(path);
        QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY2(!watchdog.fired(), "\"Öffnen...\" blocked on the file");
    }
    QCOMPARE(ProtocolFile::protocolBytes(heat), before);
    QVERIFY(!heat.modified());
    QCOMPARE(m_window->session().competition().heatResults().rowsWithHeader(), derivedRows);
    QCOMPARE(boxes.seen.size(), 1);
    QCOMPARE(boxes.seen[0].text, QStringLiteral("Der Lesefehler der Datei: ") + path);
    QCoreApplication::processEvents();
    QCOMPARE(read(m_window->session().environment().backupFileName()), backupBefore);
}

void TestMainWindowFiles::fileWithoutCompetitorsAsksFirst_data() {
    QTest::addColumn<bool>("competitors");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("emptied");
    QTest::newRow("competition, Nein") << true << false << false;
    QTest::newRow("competition, Ja") << true << true << true;
    QTest::newRow("nothing to lose: no question") << false << false << true;
}

void TestMainWindowFiles::fileWithoutCompetitorsAsksFirst() {
    QFETCH(bool, competitors);
    QFETCH(bool, answer);
    QFETCH(bool, emptied);
    ScriptedAnswers answers;
    answers.answer = answer;
    m_window.reset();
    m_window = std::make_unique<SessionWindow>(m_install->environment(&answers));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    if (competitors)
        fill();
    CompetitionTable& heat = m_window->session().competition().heatStartList();
    QCoreApplication::processEvents();
    const QString backup = m_window->session().environment().backupFileName();
    const QByteArray before = ProtocolFile::protocolBytes(heat);
    const QByteArray backupBefore = read(backup);
    QVERIFY(m_install->writeFile(QStringLiteral("leer.txt"),
                                 "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\t"
                                 "Zeit3\tZeit4\tZeit5\t\r\n"));
    m_install->dialogs().answer(m_install->filePath(QStringLiteral("leer.txt")));
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);

    const QString question =
        QStringLiteral("Haben Sie das Protokoll gespeichert und/oder wollen Sie ein Neues öffnen?");
    QCOMPARE(answers.questions, competitors ? QStringList{question} : QStringList{});
    if (emptied)
        QVERIFY(!heat.hasData());
    else
        QCOMPARE(ProtocolFile::protocolBytes(heat), before);
    QCoreApplication::processEvents();
    QCOMPARE(read(backup), emptied ? ProtocolFile::protocolBytes(heat) : backupBefore);
    // It is the question of "Neue" itself.
    answers.answer = false;
    m_window->newProtocol();
    QCOMPARE(answers.questions.last(), question);
}

void TestMainWindowFiles::webPageWrittenAndOpened_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("name");
    QTest::newRow("heat start list") << 0 << "Velmora_Vorlauf-Startliste.html";
    QTest::newRow("final results") << 3 << "Velmora_Endlauf-Ergebnisse.html";
}

void TestMainWindowFiles::webPageWrittenAndOpened() {
    QFETCH(int, page);
    QFETCH(QString, name);
    fill();
    showPage(page);
    UrlRecorder opened({QStringLiteral("file")});
    QTest::keyClick(m_window.get(), Qt::Key_H, Qt::ControlModifier);
    const QString path = m_install->filePath(name);
    const Competition& competition = m_window->session().competition();
    QCOMPARE(read(path),
             ProtocolPage::pageBytes(competition.stageTable(page), QStringLiteral("Velmora"),
                                     tabCaption(page), {}, competition.releaseText()));
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(path)});
}

void TestMainWindowFiles::webPageFailureOpensNothing() {
    fill();
    // An older page of the same name must not pass for the new one, neither in the folder the
    // program was started in nor in the user's folder it falls back to.
    const QString name = QStringLiteral("Velmora_Vorlauf-Startliste.html");
    const QString userDir = m_install->userDataDir();
    QVERIFY(QDir().mkpath(userDir));
    QVERIFY(m_install->writeFile(name, "alt"));
    QVERIFY(FileBytes::writeFile(QDir(userDir).filePath(name), "alt"));
    UrlRecorder opened({QStringLiteral("file")});
    MessageBoxCatcher boxes;
    {
        FileSystemFaults::ReadOnlyFolder readOnly(m_install->dir());
        FileSystemFaults::ReadOnlyFolder readOnlyUser(userDir);
        QVERIFY(readOnly.effective() && readOnlyUser.effective());
        QTest::keyClick(m_window.get(), Qt::Key_H, Qt::ControlModifier);
    }
    QCOMPARE(boxes.seen.size(), 1);
    QCOMPARE(boxes.seen[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.seen[0].text,
             QStringLiteral("Der Schreibfehler der Datei: ") + QDir(userDir).filePath(name));
    QVERIFY(opened.urls.isEmpty());
    QCOMPARE(read(m_install->filePath(name)), QByteArray("alt"));
    QCOMPARE(read(QDir(userDir).filePath(name)), QByteArray("alt"));
}

void TestMainWindowFiles::webPageInUserFolderWhenStartFolderIsReadOnly() {
    fill();
    const QString name = QStringLiteral("Velmora_Vorlauf-Startliste.html");
    QVERIFY(m_install->writeFile(name, "alt"));
    UrlRecorder opened({QStringLiteral("file")});
    {
        FileSystemFaults::ReadOnlyFolder readOnly(m_install->dir());
        QVERIFY(readOnly.effective());
        QTest::keyClick(m_window.get(), Qt::Key_H, Qt::ControlModifier);
    }
    const QString path = QDir(m_install->userDataDir()).filePath(name);
    const Competition& competition = m_window->session().competition();
    QCOMPARE(read(path),
             ProtocolPage::pageBytes(competition.stageTable(0), QStringLiteral("Velmora"),
                                     tabCaption(0), {}, competition.releaseText()));
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(path)});
    QCOMPARE(read(m_install->filePath(name)), QByteArray("alt"));
}

QTEST_MAIN(TestMainWindowFiles)
#include "tst_mainwindow_files.moc"

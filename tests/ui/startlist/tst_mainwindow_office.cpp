#include "competition/Competition.h"
#include "competition/CompetitionTable.h"
#include "mock/OfficeReader.h"
#include "mock/OfficeTemplates.h"
#include "mock/WindowFixture.h"
#include "print/ExportProgress.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>

// Ctrl+W, Ctrl+E and save type 3 in the window: which commands the desktop's office
// programs allow, where the files go and that they are opened.
class TestMainWindowOffice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void availability_data();
    void availability();
    void wordKeyWritesAndOpensTheShownTable();
    void documentsLeaveTheRootFolderAlone();
    void excelKeyWritesAllFourTables();
    void saveTypeThreeWritesTheChosenPathAndOpensNothing();
    void templateWithTooFewSheetsIsTold();
    void unusableExcelTemplateIsTold_data();
    void unusableExcelTemplateIsTold();
    void wordFollowsItsTemplateAtOnce_data();
    void wordFollowsItsTemplateAtOnce();

private:
    void start(bool word, bool excel, bool wordTemplate);
    QAction* action(const char* name) const;
    ExportProgress* progress() const { return m_window->findChild<ExportProgress*>(); }
    QMessageBox* toldBox() const {
        return m_window->findChild<QMessageBox*>(QStringLiteral("officeExportMessage"));
    }

    std::unique_ptr<InstallationFixture> m_install;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<UrlRecorder> m_opened;
    QString m_previousFolder;
};

void TestMainWindowOffice::init() {
    m_install = std::make_unique<InstallationFixture>();
    m_opened = std::make_unique<UrlRecorder>(QStringList{QStringLiteral("file")});
    // The documents go beside the web page, into the current folder.
    m_previousFolder = QDir::currentPath();
    QDir::setCurrent(m_install->dir());
}

void TestMainWindowOffice::cleanup() {
    m_window.reset();
    QDir::setCurrent(m_previousFolder);
    m_opened.reset();
    m_install.reset();
}

void TestMainWindowOffice::start(bool word, bool excel, bool wordTemplate) {
    if (wordTemplate)
        QVERIFY(m_install->writeFile(QStringLiteral("Protokollvorlage.docx"),
                                     OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR)));
    TestEnvironment environment = m_install->environment();
    environment.setApplicationLookup([word, excel](const char* mime) {
        return QByteArray(mime).endsWith("document") ? word : excel;
    });
    m_window = std::make_unique<SessionWindow>(environment);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    CompetitionTable& grid = m_window->session().competition().heatStartList();
    grid.setRowsWithHeader(3);
    grid.setRowCells(
        1, {"1", "Müller", "Anna", "SV <Nord> & Süd", "1", "+", "1024", "1100", "", "", ""});
    grid.setRowCells(2, {"2", "Groß", "Jörg", "TV Ost", "2", "", "1250", "1310", "1290", "", ""});
    m_window->header()->titleEdit->setText(QStringLiteral("Meisterschaft 2026"));
    m_window->updateActionStates();
}

QAction* TestMainWindowOffice::action(const char* name) const {
    return m_window->findChild<QAction*>(QString::fromLatin1(name));
}

void TestMainWindowOffice::availability_data() {
    QTest::addColumn<bool>("word");
    QTest::addColumn<bool>("excel");
    QTest::addColumn<bool>("wordTemplate");
    QTest::addColumn<bool>("wordEnabled");
    QTest::addColumn<bool>("excelEnabled");
    QTest::addColumn<QString>("wordHint");
    QTest::addColumn<QString>("excelHint");
    const QString wordOk = QStringLiteral("Export in MS Word [Ctrl+W]");
    const QString excelOk = QStringLiteral("Export in MS Excel [Ctrl+E]");
    QTest::newRow("both registered") << true << true << true << true << true << wordOk << excelOk;
    QTest::newRow("none registered")
        << false << false << true << false << false << "MS Word ist nicht eingerichtet"
        << "MS Excel ist nicht eingerichtet";
    QTest::newRow("no Word template")
        << true << true << false << false << true << "Keine Wordvorlage unter %1" << excelOk;
    QTest::newRow("only Excel") << false << true << true << false << true
                                << "MS Word ist nicht eingerichtet" << excelOk;
}

void TestMainWindowOffice::availability() {
    QFETCH(bool, word);
    QFETCH(bool, excel);
    QFETCH(bool, wordTemplate);
    QFETCH(bool, wordEnabled);
    QFETCH(bool, excelEnabled);
    QFETCH(QString, wordHint);
    QFETCH(QString, excelHint);
    start(word, excel, wordTemplate);
    QCOMPARE(m_window->session().wordInstalled(), word);
    QCOMPARE(m_window->session().excelInstalled(), excel);
    QCOMPARE(action("mWord")->isEnabled(), wordEnabled);
    QCOMPARE(action("mExcel")->isEnabled(), excelEnabled);
    QCOMPARE(m_window->header()->wordButton->toolTip(),
             wordHint.arg(m_install->filePath(QStringLiteral("Protokollvorlage.docx"))));
    QCOMPARE(m_window->header()->excelButton->toolTip(), excelHint);
    // A disabled command does nothing, whatever key reaches it.
    QTest::keyClick(m_window.get(), Qt::Key_W, Qt::ControlModifier);
    QTest::keyClick(m_window.get(), Qt::Key_E, Qt::ControlModifier);
    QTRY_COMPARE(m_opened->urls.size(), int(wordEnabled) + int(excelEnabled));
}

void TestMainWindowOffice::wordKeyWritesAndOpensTheShownTable() {
    start(true, true, true);
    m_window->stagePages()->setCurrentIndex(1);
    QTest::keyClick(m_window.get(), Qt::Key_W, Qt::ControlModifier);
    // Written in the background: the window goes on at once and says what is being written.
    QVERIFY(m_opened->urls.isEmpty());
    QVERIFY(progress()->isVisible());
    QVERIFY(progress()->text().startsWith(QStringLiteral("Word-Dokument wird geschrieben")));
    QTRY_VERIFY(!progress()->isVisible());
    const QString name = m_install->filePath(ProgramPaths::defaultExportName(QDate::currentDate()) +
                                             QStringLiteral(".docx"));
    QCOMPARE(m_opened->urls, (QList<QUrl>{QUrl::fromLocalFile(name)}));
    const auto doc = OfficeReader::open(name);
    QVERIFY(doc);
    QCOMPARE(doc->paragraphsBeforeTable().first(), QStringLiteral("Meisterschaft 2026"));
    QCOMPARE(doc->gridColumns(), 10);
    QCOMPARE(doc->tableRows().at(0).at(0), QStringLiteral("Pl."));
}

void TestMainWindowOffice::documentsLeaveTheRootFolderAlone() {
    // A launcher may start the program in "/": the documents then go where the backup goes.
    QDir::setCurrent(QStringLiteral("/"));
    start(true, true, true);
    QTest::keyClick(m_window.get(), Qt::Key_W, Qt::ControlModifier);
    QTest::keyClick(m_window.get(), Qt::Key_E, Qt::ControlModifier);
    const QString base = m_install->filePath(ProgramPaths::defaultExportName(QDate::currentDate()));
    QTRY_COMPARE(m_opened->urls,
                 (QList<QUrl>{QUrl::fromLocalFile(base + QStringLiteral(".docx")),
                              QUrl::fromLocalFile(base + QStringLiteral(".xlsx"))}));
    QVERIFY(QFileInfo::exists(base + QStringLiteral(".xlsx")));
}

void TestMainWindowOffice::excelKeyWritesAllFourTables() {
    start(true, true, true);
    QTest::keyClick(m_window.get(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(progress()->isVisible());
    const QString name = m_install->filePath(ProgramPaths::defaultExportName(QDate::currentDate()) +
                                             QStringLiteral(".xlsx"));
    QTRY_COMPARE(m_opened->urls, (QList<QUrl>{QUrl::fromLocalFile(name)}));
    const auto book = OfficeReader::open(name);
    QVERIFY(book);
    const QList<OfficeReader::Sheet> sheets = book->sheets();
    QCOMPARE(sheets.size(), 4);
    QCOMPARE(sheets.at(0).name, QStringLiteral("Vorlauf-Startliste"));
    QCOMPARE(sheets.at(3).name, QStringLiteral("Endlauf-Ergebnisse"));
    QCOMPARE(sheets.at(0).cells.value("D2").value, QStringLiteral("SV <Nord> & Süd"));
    QVERIFY(!sheets.at(0).cells.contains("J1"));
    QCOMPARE(book->coreProperty("title"), QStringLiteral("Meisterschaft 2026"));
    QCOMPARE(book->coreProperty("subject"), m_window->windowTitle());
}

void TestMainWindowOffice::saveTypeThreeWritesTheChosenPathAndOpensNothing() {
    start(true, true, true);
    const QString chosen = m_install->filePath(QStringLiteral("gewählt.docx"));
    m_install->dialogs().answer(chosen, 3);
    action("mSave")->trigger();
    QTRY_VERIFY(!progress()->isVisible());
    QVERIFY(m_opened->urls.isEmpty());
    const auto doc = OfficeReader::open(chosen);
    QVERIFY(doc);
    QCOMPARE(doc->gridColumns(), 9);
    QCOMPARE(doc->tableRows().at(2).at(1), QStringLiteral("Groß"));
}

void TestMainWindowOffice::templateWithTooFewSheetsIsTold() {
    QVERIFY(m_install->writeFile(QStringLiteral("Protokollvorlage.xlsx"),
                                 OfficeTemplates::excelTemplate(2)));
    start(true, true, true);
    QTest::keyClick(m_window.get(), Qt::Key_E, Qt::ControlModifier);
    // The box does not hold up the window: the race goes on while it is shown.
    QTRY_VERIFY(m_window->findChild<QMessageBox*>(QStringLiteral("officeExportMessage")));
    auto* box = m_window->findChild<QMessageBox*>(QStringLiteral("officeExportMessage"));
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QVERIFY(box->text().contains(QStringLiteral("weniger als vier Tabellenblätter")));
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QVERIFY(m_opened->urls.isEmpty());
    QVERIFY(QDir(m_install->dir()).entryList({QStringLiteral("*.xlsx")}) ==
            QStringList{QStringLiteral("Protokollvorlage.xlsx")});
}

void TestMainWindowOffice::unusableExcelTemplateIsTold_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("linkTarget"); // empty: a file of old Excel bytes
    QTest::addColumn<QString>("reason");
    QTest::newRow("link to nothing") << "Protokollvorlage.xlsx"
                                     << "/nirgends/Vorlage.xlsx"
                                     << "/nirgends/Vorlage.xlsx";
    QTest::newRow("old .xls alone") << "Protokollvorlage.xls" << QString() << ".xls";
}

void TestMainWindowOffice::unusableExcelTemplateIsTold() {
    QFETCH(QString, name);
    QFETCH(QString, linkTarget);
    QFETCH(QString, reason);
    const QString path = m_install->filePath(name);
    if (linkTarget.isEmpty())
        QVERIFY(m_install->writeFile(name, QByteArray("\xd0\xcf\x11\xe0 old workbook")));
    else
        QVERIFY(QFile::link(linkTarget, path));
    start(true, true, true);
    QTest::keyClick(m_window.get(), Qt::Key_E, Qt::ControlModifier);
    // Told, not passed over for a new workbook.
    QTRY_VERIFY(toldBox());
    QCOMPARE(toldBox()->text(), "Die Excelvorlage " + path +
                                    " kann nicht gelesen werden; es wurde nichts gespeichert.");
    QVERIFY(toldBox()->informativeText().contains(reason));
    QVERIFY(m_opened->urls.isEmpty());
    QVERIFY(QDir(m_install->dir()).entryList({QStringLiteral("20*.xlsx")}).isEmpty());
}

void TestMainWindowOffice::wordFollowsItsTemplateAtOnce_data() {
    QTest::addColumn<QString>("when");
    QTest::newRow("the menu opens") << "menu";
    QTest::newRow("the command runs") << "command";
    QTest::newRow("the folder changes") << "folder";
}

void TestMainWindowOffice::wordFollowsItsTemplateAtOnce() {
    QFETCH(QString, when);
    start(true, true, true);
    QAction* word = action("mWord");
    QVERIFY(word->isEnabled());
    const QString path = m_install->filePath(QStringLiteral("Protokollvorlage.docx"));
    QVERIFY(QFile::remove(path));
    const QString missingHint = QStringLiteral("Keine Wordvorlage unter ") + path;
    if (when == u"menu") {
        Q_EMIT m_window->actions().startListMenu->aboutToShow();
        QVERIFY(!word->isEnabled());
    } else if (when == u"command") {
        word->trigger();
        QVERIFY(toldBox());
        // Missing, not unreadable.
        QCOMPARE(toldBox()->text(), QStringLiteral("Die Wordvorlage ") + path +
                                        QStringLiteral(" fehlt; es wurde nichts gespeichert."));
        QVERIFY(!word->isEnabled());
    } else {
        QTRY_VERIFY(!word->isEnabled());
    }
    QCOMPARE(m_window->header()->wordButton->toolTip(), missingHint);
    QVERIFY(!m_window->header()->wordButton->isEnabled());
    // Back again: offered again, without a change of tab.
    QVERIFY(m_install->writeFile(QStringLiteral("Protokollvorlage.docx"),
                                 OfficeTemplates::wordTemplate(VELMORA_SOURCE_DIR)));
    if (when == u"folder")
        QTRY_VERIFY(word->isEnabled());
    else
        Q_EMIT m_window->actions().startListMenu->aboutToShow();
    QVERIFY(word->isEnabled());
    QCOMPARE(m_window->header()->wordButton->toolTip(),
             QStringLiteral("Export in MS Word [Ctrl+W]"));
    QVERIFY(m_opened->urls.isEmpty());
}

QTEST_MAIN(TestMainWindowOffice)
#include "tst_mainwindow_office.moc"

#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/WindowFixture.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"
#include "widgets/PageTabBar.h"

#include <QAction>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

// The stage pages in the window: random results, derivation on page changes, the selected
// row in the status bar, availability of the output commands and the column widths.
class TestMainWindowTables : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void randomResultsFillEveryPage();
    void randomResultsNeedJa();
    void randomResultsDifferEachTime();
    void switchingTabsDerives();
    void derivationMessageInStatusBar();
    void disabledTabSnapsBack();
    void statusFollowsSelection();
    void keyReleaseUpdatesStatus();
    void competitorOnlyWhileClockStopped();
    void actionStatesFollowPages_data();
    void actionStatesFollowPages();
    void columnWidthsAfterResize_data();
    void columnWidthsAfterResize();

private:
    void generate();
    void showPage(int page);
    void fillHeatStartList(const QList<QStringList>& rows);

    std::unique_ptr<InstallationFixture> m_install;
    ScriptedAnswers m_answers;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindowTables::init() {
    m_install = std::make_unique<InstallationFixture>();
    m_answers = ScriptedAnswers();
    m_answers.answer = true;
    m_window = std::make_unique<SessionWindow>(m_install->environment(&m_answers));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainWindowTables::cleanup() {
    m_window.reset();
    m_install.reset();
}

void TestMainWindowTables::generate() {
    m_window->actions().randomResults->trigger();
}

void TestMainWindowTables::showPage(int page) {
    // The way the operator does it: a click on the tab.
    PageTabBar* tabs = m_window->stagePages()->pageTabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
}

void TestMainWindowTables::fillHeatStartList(const QList<QStringList>& rows) {
    CompetitionTable& grid = m_window->session().competition().heatStartList();
    grid.setRowsWithHeader(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        grid.setRowCells(r + 1, rows[r]);
}

void TestMainWindowTables::randomResultsFillEveryPage() {
    Competition& c = m_window->session().competition();
    showPage(3);
    QCOMPARE(m_window->stagePages()->currentIndex(), 3);
    QSignalSpy tvUpdates(m_window.get(), &MainWindow::tvContentChanged);
    generate();
    QCOMPARE(m_answers.questions,
             QStringList{QStringLiteral("Neues Protokoll mit Zufallsergebnissen generieren?")});
    QCOMPARE(m_window->stagePages()->currentIndex(), 0);
    QCOMPARE(c.heatStartList().rowsWithHeader(), 101);
    QCOMPARE(c.heatResults().rowsWithHeader(), 101);
    QVERIFY(c.finalStartList().hasData());
    QVERIFY(c.finalStartList().rowsWithHeader() <= 41);
    QVERIFY(c.finalResults().hasData());
    QVERIFY(c.teams().rowsWithHeader() > 1);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::StageMessage), QString());
    QVERIFY(m_window->actions().print->isEnabled());
    QVERIFY(m_window->actions().webPage->isEnabled());
    QVERIFY(m_window->header()->webPageButton->isEnabled());
    QVERIFY(m_window->header()->clearButton->isEnabled());
    for (int page = 0; page < 4; ++page) {
        QCOMPARE(c.stageTable(page).selectedRow(), 1);
        QCOMPARE(m_window->tableView(page)->currentIndex().row(), 0);
    }
    QCOMPARE(QApplication::focusWidget(), m_window->tableView(0));
    // Becoming active without a page change derives nothing more and pushes nothing.
    Q_UNUSED(tvUpdates);
    QVERIFY(c.heatStartList().modified());
}

void TestMainWindowTables::randomResultsNeedJa() {
    m_answers.answer = false;
    generate();
    QCOMPARE(m_answers.questions.size(), 1);
    QCOMPARE(m_window->session().competition().heatStartList().rowsWithHeader(), 2);
    QVERIFY(!m_window->session().competition().heatStartList().hasData());
    QVERIFY(!m_window->actions().print->isEnabled());
}

void TestMainWindowTables::randomResultsDifferEachTime() {
    generate();
    const QStringList first = m_window->session().competition().heatStartList().column(1);
    generate();
    const QStringList second = m_window->session().competition().heatStartList().column(1);
    QCOMPARE(second.size(), 101);
    QVERIFY(first != second);
    // A new program run starts the same sequence again.
    m_window = std::make_unique<SessionWindow>(m_install->environment(&m_answers));
    generate();
    QCOMPARE(m_window->session().competition().heatStartList().column(1), first);
}

void TestMainWindowTables::switchingTabsDerives() {
    fillHeatStartList({{"7", "Adler", "Anna", "SV Nord", "1", "", "1200", "1100", "1300"},
                       {"8", "Berg", "Ben", "SV Nord", "1", "+", "1000", "1000", "1000"}});
    Competition& c = m_window->session().competition();
    QVERIFY(!c.heatResults().hasData());
    showPage(1);
    QCOMPARE(m_window->stagePages()->currentIndex(), 1);
    QCOMPARE(c.heatResults().rowsWithHeader(), 3);
    QCOMPARE(c.heatResults().cell(StageTables::HeatRes::GZeit, 1), QStringLiteral("2000"));
    QCOMPARE(c.finalStartList().rowsWithHeader(), 3);
    QCOMPARE(c.finalResults().hasData(), false);
    // A new run typed into the heat start list shows after the next page change.
    c.heatStartList().setCell(StageTables::Heat::Zeit4, 1, QStringLiteral("900"));
    c.heatStartList().setCell(StageTables::Heat::Zeit5, 1, QStringLiteral("950"));
    showPage(3);
    QVERIFY(c.finalResults().hasData());
    QCOMPARE(c.finalResults().cell(StageTables::FinalRes::Nr, 1), QStringLiteral("7"));
}

void TestMainWindowTables::derivationMessageInStatusBar() {
    fillHeatStartList({{"1", "A", "A", "V", "1", "", "1200", "-", "1300"},
                       {"2", "B", "B", "V", "2", "", "1000", "1000", "1000"}});
    showPage(1);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::StageMessage),
             QStringLiteral("Es sind 1 Fehler gefunden, diese Zeilen werden nicht versäumt"));
    showPage(2);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::StageMessage),
             QStringLiteral("Es sind 1 Fehler gefunden, diese Zeilen werden nicht versäumt"));
}

void TestMainWindowTables::disabledTabSnapsBack() {
    StagePages* pages = m_window->stagePages();
    showPage(1);
    pages->setTabEnabled(2, false);
    pages->setCurrentIndex(2);
    QCOMPARE(pages->currentIndex(), 1);
    showPage(2);
    QCOMPARE(pages->currentIndex(), 1);
    pages->setTabEnabled(2, true);
    showPage(2);
    QCOMPARE(pages->currentIndex(), 2);
}

void TestMainWindowTables::statusFollowsSelection() {
    generate();
    Competition& c = m_window->session().competition();
    c.heatStartList().setRow(3);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::RowPosition), QStringLiteral("3:100"));
    // A table that is not shown leaves the panel alone.
    c.heatResults().setRow(9);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::RowPosition), QStringLiteral("3:100"));
    CompetitionTableView* view = m_window->tableView(0);
    const QRect cell = view->visualRect(c.heatStartList().index(5, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m_window->statusPanelText(MainStatusBar::RowPosition), QStringLiteral("6:100"));
    showPage(1);
    c.heatResults().setRow(12);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::RowPosition), QStringLiteral("12:100"));
}

void TestMainWindowTables::keyReleaseUpdatesStatus() {
    generate();
    CompetitionTableView* view = m_window->tableView(0);
    view->setFocus();
    m_window->session().competition().heatStartList().setRow(10);
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::RowPosition), QStringLiteral("11:100"));
}

void TestMainWindowTables::competitorOnlyWhileClockStopped() {
    fillHeatStartList({{"7", "Adler", "Anna", "SV Nord", "1", "", "", "", ""},
                       {"8", "Berg", "Ben", "TV Süd", "2", "", "", "", ""}});
    Competition& c = m_window->session().competition();
    QSignalSpy tvUpdates(m_window.get(), &MainWindow::tvContentChanged);
    c.heatStartList().setRow(2);
    QCOMPARE(m_window->session().currentCompetitor(), QStringLiteral("8 Berg Ben"));
    QCOMPARE(m_window->session().currentClub(), QStringLiteral("TV Süd"));
    QCOMPARE(tvUpdates.count(), 1);
    m_window->session().setClockRunning(true);
    c.heatStartList().setRow(1);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::RowPosition), QStringLiteral("1:2"));
    QCOMPARE(m_window->session().currentCompetitor(), QStringLiteral("8 Berg Ben"));
    QCOMPARE(tvUpdates.count(), 1);
    m_window->session().setClockRunning(false);
    // On a results page the current competitor stays as it was.
    showPage(1);
    c.heatResults().setRow(2);
    QCOMPARE(m_window->session().currentCompetitor(), QStringLiteral("8 Berg Ben"));
}

void TestMainWindowTables::actionStatesFollowPages_data() {
    QTest::addColumn<bool>("withData");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("html");
    QTest::addColumn<bool>("neu");
    QTest::addColumn<bool>("editBox");
    QTest::newRow("empty, heat start list") << false << 0 << false << false << true;
    QTest::newRow("empty, final results") << false << 3 << false << false << false;
    QTest::newRow("random, heat start list") << true << 0 << true << true << true;
    QTest::newRow("random, heat results") << true << 1 << true << false << false;
    QTest::newRow("random, final start list") << true << 2 << true << false << false;
}

void TestMainWindowTables::actionStatesFollowPages() {
    QFETCH(bool, withData);
    QFETCH(int, page);
    QFETCH(bool, html);
    QFETCH(bool, neu);
    QFETCH(bool, editBox);
    if (withData)
        generate();
    showPage(page);
    HeaderBand* h = m_window->header();
    QCOMPARE(h->webPageButton->isEnabled(), html);
    QCOMPARE(h->printButton->isEnabled(), html);
    QCOMPARE(h->saveButton->isEnabled(), html);
    QCOMPARE(m_window->actions().webPage->isEnabled(), html);
    QCOMPARE(m_window->actions().print->isEnabled(), html);
    QCOMPARE(h->clearButton->isEnabled(), neu);
    QVERIFY(m_window->actions().newProtocol->isEnabled());
    QVERIFY(m_window->actions().save->isEnabled());
    QVERIFY(!h->wordButton->isEnabled());
    QVERIFY(!h->excelButton->isEnabled());
    QCOMPARE(m_window->cellEditBox()->isVisible(), editBox);
}

void TestMainWindowTables::columnWidthsAfterResize_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("minimum") << QSize(711, 480);
    QTest::newRow("designed") << QSize(720, 600);
    QTest::newRow("wide") << QSize(1300, 800);
}

void TestMainWindowTables::columnWidthsAfterResize() {
    QFETCH(QSize, size);
    generate();
    for (int page = 0; page < 4; ++page) {
        m_window->stagePages()->setCurrentIndex(page);
        m_window->resize(size);
        QCoreApplication::processEvents();
        CompetitionTableView* view = m_window->tableView(page);
        const QList<int> widths =
            StageTables::columnWidths(page + 1, view->viewport()->width(), view->neededWidths());
        for (int c = 0; c < widths.size(); ++c) {
            QCOMPARE(view->isColumnHidden(c), widths[c] < 0);
            if (widths[c] >= 0)
                QCOMPARE(view->columnWidth(c), widths[c]);
        }
        // The name columns take the free width 40/30/30.
        const int nameColumn = (page == 1 || page == 3) ? 2 : 1;
        QVERIFY(view->columnWidth(nameColumn) >= view->columnWidth(nameColumn + 1));
        QVERIFY(view->columnWidth(nameColumn + 1) > 0);
        m_window->resize(size + QSize(1, 1));
        QCoreApplication::processEvents();
    }
    m_window->resize(size);
    QCoreApplication::processEvents();
    const QRect outer = m_window->frameGeometry();
    QCOMPARE(m_window->statusPanelText(MainStatusBar::WindowSize),
             QStringLiteral("%1x%2     ").arg(outer.width()).arg(outer.height()));
    QCOMPARE(m_window->size(), size);
}

QTEST_MAIN(TestMainWindowTables)
#include "tst_mainwindow_tables.moc"

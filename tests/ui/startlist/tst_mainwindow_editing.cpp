#include "competition/Competition.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/ProtocolLoad.h"
#include "mock/WindowFixture.h"
#include "output/ProtocolFile.h"
#include "ui/startlist/EditCommands.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"
#include "widgets/PageTabBar.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace Heat = StageTables::Heat;

// Editing the heat start list in the window with real keys and clicks: edit mode, the cell
// rules, the popup menu, deleting results and starting a new protocol.
class TestMainWindowEditing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void editModeSwitchesSelectionAndSorting();
    void typingFollowsColumnRules_data();
    void typingFollowsColumnRules();
    void classValidatedWhenLeftChanged_data();
    void classValidatedWhenLeftChanged();
    void cursorCannotEnterTimeCells();
    void namesTakeOnlyStorableText();
    void escapePutsCellBack();
    void umlautSurvivesProtocolFile();
    void popupOnEmptyList();
    void popupOnFiveRows();
    void eliminatedRowIsAnErrorAfterPageChange();
    void deleteResults_data();
    void deleteResults();
    void neinChangesNothing_data();
    void neinChangesNothing();
    void newProtocolEmptiesEverything();

private:
    CompetitionTableView* view() const { return m_window->tableView(0); }
    CompetitionTable& heat() { return m_window->session().competition().heatStartList(); }
    void fillRows(int count, bool withRuns = false);
    void showPage(int page);
    void switchEditMode();
    void clickCell(int row, int col, Qt::MouseButton button = Qt::LeftButton);
    void type(const QString& text);
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void chooseFromPopup(QAction* entry);

    std::unique_ptr<InstallationFixture> m_install;
    ScriptedAnswers m_answers;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindowEditing::init() {
    m_install = std::make_unique<InstallationFixture>();
    m_answers = ScriptedAnswers();
    m_answers.answer = true;
    m_window = std::make_unique<SessionWindow>(m_install->environment(&m_answers));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainWindowEditing::cleanup() {
    m_window.reset();
    m_install.reset();
}

void TestMainWindowEditing::fillRows(int count, bool withRuns) {
    heat().setRowsWithHeader(count + 1);
    for (int r = 1; r <= count; ++r) {
        const QString n = QString::number(r);
        heat().setRowCells(r, {n, "Name" + n, "Vorname" + n, r % 2 ? "SV Nord" : "TV Süd",
                               QString::number(1 + r % 2), r == 1 ? "+" : ""});
        if (withRuns) {
            for (int c = Heat::Zeit1; c <= Heat::Zeit5; ++c)
                heat().setCell(c, r, QString::number(1000 + 10 * r + c));
        }
    }
    heat().setRow(1);
    heat().setModified(false);
}

void TestMainWindowEditing::showPage(int page) {
    PageTabBar* tabs = m_window->stagePages()->pageTabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
    QCOMPARE(m_window->stagePages()->currentIndex(), page);
}

void TestMainWindowEditing::switchEditMode() {
    QCheckBox* box = m_window->cellEditBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
}

void TestMainWindowEditing::clickCell(int row, int col, Qt::MouseButton button) {
    const QRect cell = view()->visualRect(heat().index(row - 1, col));
    QVERIFY(cell.isValid());
    // Through the window, so that a right click also brings its context menu event.
    QTest::mouseClick(m_window->windowHandle(), button, {},
                      view()->viewport()->mapTo(m_window.get(), cell.center()));
}

void TestMainWindowEditing::type(const QString& text) {
    // Through the window, so each key reaches whatever has the focus, as typing does.
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(m_window->windowHandle(), ch.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, m_window->windowHandle(),
                                Qt::Key(ch.toUpper().unicode()), QString(ch), Qt::NoModifier);
        }
    }
}

void TestMainWindowEditing::press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(m_window->windowHandle(), key, modifiers);
}

void TestMainWindowEditing::chooseFromPopup(QAction* entry) {
    QMenu* menu = m_window->editing().popupMenu();
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    QTRY_VERIFY(!menu->isVisible());
}

void TestMainWindowEditing::editModeSwitchesSelectionAndSorting() {
    fillRows(3);
    clickCell(2, Heat::Zeit2);
    switchEditMode();
    QVERIFY(m_window->cellEditBox()->isChecked());
    QVERIFY(heat().sortOptions().canSort);
    QCOMPARE(QApplication::focusWidget(), view());
    // The selection shrinks to one cell, off the run times.
    QCOMPARE(view()->selectionModel()->selectedIndexes(), {heat().index(1, Heat::Meister)});
    QCOMPARE(heat().selectedRow(), 2);

    // A click on a caption sorts while editing; a right click there opens no popup menu.
    QHeaderView* header = view()->horizontalHeader();
    const QPoint name(header->sectionViewportPosition(Heat::Name) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, name);
    QCOMPARE(heat().column(Heat::Name).mid(1), (QStringList{"Name3", "Name2", "Name1"}));
    QVERIFY(!m_window->editing().popupMenu()->isVisible());
    press(Qt::Key_Menu);
    QTRY_VERIFY(m_window->editing().popupMenu()->isVisible());
    m_window->editing().popupMenu()->close();

    switchEditMode();
    QVERIFY(!heat().sortOptions().canSort);
    QVERIFY(!heat().editable());
    QCOMPARE(view()->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(view()->selectionModel()->isRowSelected(heat().selectedRow() - 1));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, name);
    QCOMPARE(heat().cell(Heat::Name, 1), QStringLiteral("Name3"));
    type("7");
    QVERIFY(!view()->indexWidget(view()->currentIndex()));
}

void TestMainWindowEditing::typingFollowsColumnRules_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("atOnce");
    QTest::addColumn<QString>("afterEnter");
    QTest::addColumn<bool>("modified");
    const auto row = [](const char* name, int column, const char* keys, const char* atOnce,
                        const char* afterEnter, bool modified) {
        QTest::newRow(name) << column << QString::fromUtf8(keys) << QString::fromUtf8(atOnce)
                            << QString::fromUtf8(afterEnter) << modified;
    };
    // Row 2 starts as "2", "Name2", ..., class "1", no mark.
    row("x into Nr.", Heat::Nr, "x", "2", "2", false);
    row("digits into Nr.", Heat::Nr, "1x7", "17", "17", true);
    row("7 into Kl.", Heat::Kl, "7", "1", "1", false);
    row("3 into Kl.", Heat::Kl, "3", "3", "3", true);
    row("3 then 7 into Kl.", Heat::Kl, "37", "3", "3", true);
    row("key into Meister", Heat::Meister, "j", "+", "+", true);
    row("two keys into Meister", Heat::Meister, "jj", "", "", true);
    row("name with umlauts", Heat::Name, "Jörg Müßig", "Jörg Müßig", "Jörg Müßig", true);
}

void TestMainWindowEditing::typingFollowsColumnRules() {
    QFETCH(int, column);
    QFETCH(QString, keys);
    QFETCH(QString, atOnce);
    QFETCH(QString, afterEnter);
    QFETCH(bool, modified);
    fillRows(3);
    switchEditMode();
    clickCell(2, column);
    type(keys);
    QCOMPARE(heat().cell(column, 2), atOnce);
    press(Qt::Key_Return);
    QTRY_VERIFY(!view()->indexWidget(heat().index(1, column)));
    QCOMPARE(heat().cell(column, 2), afterEnter);
    QCOMPARE(heat().modified(), modified);
    // The row's other cells are untouched.
    QCOMPARE(heat().cell(Heat::Vorname, 2), QStringLiteral("Vorname2"));
}

void TestMainWindowEditing::classValidatedWhenLeftChanged_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("emptied");
    QTest::addColumn<QString>("after");
    const auto row = [](const char* name, const char* before, const char* pasted, bool emptied,
                        const char* after) {
        QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(pasted) << emptied
                            << QString::fromUtf8(after);
    };
    row("25 pasted", "1", "25", false, "2");
    row("x pasted", "1", "x", false, "4");
    row("emptied", "2", "", true, "4");
    row("unchanged odd class stays", "25", "", false, "25");
}

void TestMainWindowEditing::classValidatedWhenLeftChanged() {
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(bool, emptied);
    QFETCH(QString, after);
    fillRows(3);
    heat().setCell(Heat::Kl, 2, before);
    switchEditMode();
    clickCell(2, Heat::Kl);
    press(Qt::Key_Return);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), before);
    editor->selectAll();
    if (emptied)
        press(Qt::Key_Delete);
    if (!pasted.isEmpty()) {
        QGuiApplication::clipboard()->setText(pasted);
        press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor->text(), pasted);
    }
    // Leaving by a cursor key commits like Enter.
    press(Qt::Key_Up);
    QCOMPARE(view()->currentIndex(), heat().index(0, Heat::Kl));
    QCOMPARE(heat().cell(Heat::Kl, 2), after);
}

void TestMainWindowEditing::cursorCannotEnterTimeCells() {
    fillRows(3);
    switchEditMode();
    clickCell(2, Heat::Meister);
    press(Qt::Key_Right);
    QCOMPARE(view()->currentIndex(), heat().index(1, Heat::Meister));
    press(Qt::Key_Home);
    press(Qt::Key_End);
    QCOMPARE(view()->currentIndex(), heat().index(1, Heat::Meister));
    clickCell(3, Heat::Zeit1);
    QTest::mouseDClick(
        m_window->windowHandle(), Qt::LeftButton, {},
        view()->viewport()->mapTo(m_window.get(),
                                  view()->visualRect(heat().index(2, Heat::Zeit3)).center()));
    QCOMPARE(view()->currentIndex(), heat().index(1, Heat::Meister));
    QCOMPARE(heat().selectedRow(), 2);
    QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    // Tab after the last typeable cell goes on to the next row's first one.
    press(Qt::Key_Tab);
    QCOMPARE(view()->currentIndex(), heat().index(2, Heat::Nr));
}

void TestMainWindowEditing::namesTakeOnlyStorableText() {
    fillRows(3);
    switchEditMode();
    clickCell(2, Heat::Name);
    type("Mül");
    // A character the code page lacks is refused as a key.
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(0x141),
                        QStringLiteral("Ł"), Qt::NoModifier);
    press(Qt::Key_Tab);
    QCOMPARE(heat().cell(Heat::Name, 2), QStringLiteral("Mül"));
    QCOMPARE(view()->currentIndex().column(), int(Heat::Vorname));

    // Tab has opened the next cell's editor. Pasted text loses what a protocol line cannot hold.
    QGuiApplication::clipboard()->setText(QStringLiteral("Anna\tLena\r\nŁucja\x1a"));
    press(Qt::Key_V, Qt::ControlModifier);
    press(Qt::Key_Return);
    QTRY_COMPARE(heat().cell(Heat::Vorname, 2), QStringLiteral("Anna Lena  ucja"));
}

void TestMainWindowEditing::escapePutsCellBack() {
    fillRows(3);
    switchEditMode();
    clickCell(2, Heat::Verein);
    type("Xyz");
    QCOMPARE(heat().cell(Heat::Verein, 2), QStringLiteral("Xyz"));
    press(Qt::Key_Escape);
    QTRY_VERIFY(!view()->indexWidget(heat().index(1, Heat::Verein)));
    QCOMPARE(heat().cell(Heat::Verein, 2), QStringLiteral("TV Süd"));
}

void TestMainWindowEditing::umlautSurvivesProtocolFile() {
    fillRows(2);
    switchEditMode();
    const QRect cell = view()->visualRect(heat().index(1, Heat::Name));
    QTest::mouseDClick(m_window->windowHandle(), Qt::LeftButton, {},
                       view()->viewport()->mapTo(m_window.get(), cell.center()));
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    type("Müller");
    press(Qt::Key_Return);
    QTRY_COMPARE(heat().cell(Heat::Name, 2), QStringLiteral("Müller"));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("protokoll.txt"));
    QVERIFY(ProtocolFile::SaveProtocolText(heat(), file).ok);
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().contains(QByteArray("\tM\xFCller\t")));

    CompetitionTable reopened(heat().columns());
    QVERIFY(loadProtocol(reopened, file));
    QCOMPARE(reopened.rowsWithHeader(), heat().rowsWithHeader());
    // Empty run cells come back as blanks, as the file stores them; the names come back whole.
    for (int r = 0; r < heat().rowsWithHeader(); ++r)
        QCOMPARE(reopened.rowCells(r).mid(0, Heat::Zeit1), heat().rowCells(r).mid(0, Heat::Zeit1));
}

void TestMainWindowEditing::popupOnEmptyList() {
    EditCommands& editing = m_window->editing();
    clickCell(1, Heat::Name, Qt::RightButton);
    QCOMPARE(editing.popupMenu()->actions().mid(0, 3),
             (QList<QAction*>{editing.removeRowAction(), editing.appendRowAction(),
                              editing.eliminateRowAction()}));
    QCOMPARE(editing.appendRowAction()->text(), QStringLiteral("Zeile unten hinzufügen"));
    chooseFromPopup(editing.appendRowAction());
    QCOMPARE(heat().rowsWithHeader(), 2);
    QCOMPARE(heat().rowCells(1),
             (QStringList{"1", "Name", "Vorname", "Verein", "4", "", "", "", "", "", ""}));
    QVERIFY(m_window->header()->saveButton->isEnabled());

    clickCell(1, Heat::Name, Qt::RightButton);
    chooseFromPopup(editing.removeRowAction());
    QCOMPARE(heat().rowsWithHeader(), 2);
    QVERIFY(heat().isRowEmpty(1));
    QVERIFY(!m_window->header()->saveButton->isEnabled());
}

void TestMainWindowEditing::popupOnFiveRows() {
    EditCommands& editing = m_window->editing();
    fillRows(5);
    clickCell(3, Heat::Name, Qt::RightButton);
    chooseFromPopup(editing.appendRowAction());
    QCOMPARE(heat().rowsWithHeader(), 7);
    QCOMPARE(heat().cell(Heat::Nr, 6), QStringLiteral("6"));
    QCOMPARE(heat().selectedRow(), 6);
    QVERIFY(view()->selectionModel()->isRowSelected(5));

    // The right click selects the row it acts on.
    clickCell(3, Heat::Vorname, Qt::RightButton);
    QCOMPARE(heat().selectedRow(), 3);
    chooseFromPopup(editing.removeRowAction());
    QCOMPARE(heat().column(Heat::Nr).mid(1), (QStringList{"1", "2", "4", "5", "6"}));
    QVERIFY(heat().modified());

    // While editing, a right click on a run time still acts on the row clicked.
    switchEditMode();
    clickCell(4, Heat::Zeit2, Qt::RightButton);
    QCOMPARE(heat().selectedRow(), 4);
    chooseFromPopup(editing.eliminateRowAction());
    QCOMPARE(heat().rowCells(4).mid(Heat::Zeit1, 3), (QStringList{"-", "-", "-"}));
    QCOMPARE(heat().cell(Heat::Zeit1, 3), QString());
}

void TestMainWindowEditing::eliminatedRowIsAnErrorAfterPageChange() {
    fillRows(5, true);
    for (int c : {Heat::Zeit2, Heat::Zeit3})
        heat().setCell(c, 4, QString());
    clickCell(4, Heat::Name, Qt::RightButton);
    chooseFromPopup(m_window->editing().eliminateRowAction());
    QCOMPARE(heat().rowCells(4).mid(Heat::Zeit1, 3), (QStringList{"1046", "-", "-"}));

    showPage(1);
    const CompetitionTable& results = m_window->session().competition().heatResults();
    QCOMPARE(results.rowsWithHeader(), 5);
    QCOMPARE(results.findRow(StageTables::HeatRes::Nr, QStringLiteral("4")), -1);
    QCOMPARE(m_window->statusPanelText(MainStatusBar::StageMessage),
             QStringLiteral("Es sind 1 Fehler gefunden, diese Zeilen werden nicht versäumt"));
}

void TestMainWindowEditing::deleteResults_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QList<int>>("emptiedHeatColumns");
    QTest::newRow("heat start list") << 0 << QList<int>{6, 7, 8, 9, 10};
    QTest::newRow("final start list") << 2 << QList<int>{9, 10};
}

void TestMainWindowEditing::deleteResults() {
    QFETCH(int, page);
    QFETCH(QList<int>, emptiedHeatColumns);
    Competition& c = m_window->session().competition();
    fillRows(5, true);
    showPage(3);
    QVERIFY(c.finalResults().hasData());
    showPage(page);
    m_window->actions().deleteResults->trigger();
    QCOMPARE(m_answers.questions, QStringList{QStringLiteral("Die Ergebnisse zu löschen?")});
    for (int col = Heat::Zeit1; col <= Heat::Zeit5; ++col) {
        const bool emptied = emptiedHeatColumns.contains(col);
        QCOMPARE(c.heatStartList().cell(col, 3).isEmpty(), emptied);
        QCOMPARE(c.heatStartList().cell(col, 0).isEmpty(), false);
    }
    QCOMPARE(c.heatStartList().cell(Heat::Name, 3), QStringLiteral("Name3"));
    // The derived tables follow at the next page change.
    showPage(3);
    QVERIFY(!c.finalResults().hasData());
    showPage(2);
    QCOMPARE(c.finalStartList().hasData(), page == 2);
    for (int r = 1; r < c.finalStartList().rowsWithHeader(); ++r) {
        QCOMPARE(c.finalStartList().cell(StageTables::FinalStart::Zeit4, r), QString());
        QCOMPARE(c.finalStartList().cell(StageTables::FinalStart::Zeit5, r), QString());
    }
}

void TestMainWindowEditing::neinChangesNothing_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("question");
    QTest::newRow("Neue") << "Neue1"
                          << "Haben Sie das Protokoll gespeichert und/oder wollen Sie ein Neues "
                             "öffnen?";
    QTest::newRow("Ergebnisse löschen") << "Deleteresults1"
                                        << "Die Ergebnisse zu löschen?";
}

void TestMainWindowEditing::neinChangesNothing() {
    QFETCH(QString, command);
    QFETCH(QString, question);
    fillRows(5, true);
    showPage(1);
    showPage(0);
    const Competition& c = m_window->session().competition();
    QList<QStringList> before;
    for (int page = 0; page < 4; ++page)
        before.append(c.stageTable(page).column(Heat::Nr) + c.stageTable(page).column(8));
    m_answers.answer = false;
    QSignalSpy restarts(m_window.get(), &MainWindow::newProtocolStarted);
    m_window->findChild<QAction*>(command)->trigger();
    QCOMPARE(m_answers.questions, QStringList{question});
    for (int page = 0; page < 4; ++page)
        QCOMPARE(c.stageTable(page).column(Heat::Nr) + c.stageTable(page).column(8), before[page]);
    QCOMPARE(restarts.count(), 0);
}

void TestMainWindowEditing::newProtocolEmptiesEverything() {
    Competition& c = m_window->session().competition();
    fillRows(5, true);
    heat().setCell(Heat::Verein, 0, QStringLiteral("Club"));
    heat().setCell(Heat::Zeit2, 2, QString());
    showPage(3);
    QVERIFY(!c.stageMessage(1).isEmpty());
    QSignalSpy restarts(m_window.get(), &MainWindow::newProtocolStarted);
    QSignalSpy tv(m_window.get(), &MainWindow::tvContentChanged);
    QSignalSpy derived(&m_window->session().derivation(), &StageDerivation::stageDerived);

    press(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(m_answers.questions.size(), 1);
    QCOMPARE(restarts.count(), 1);
    QVERIFY(tv.count() >= 1);
    QCOMPARE(derived.count(), 0);
    QCOMPARE(m_window->stagePages()->currentIndex(), 0);
    for (int page = 0; page < 4; ++page) {
        QCOMPARE(c.stageTable(page).rowsWithHeader(), 2);
        QVERIFY(c.stageTable(page).isRowEmpty(1));
    }
    QVERIFY(c.teams().isRowEmpty(1));
    QCOMPARE(c.stageMessage(1), QString());
    QCOMPARE(heat().cell(Heat::Verein, 0), QStringLiteral("Club"));
    QVERIFY(!heat().modified());
    QVERIFY(!m_window->header()->clearButton->isEnabled());
    QVERIFY(m_window->cellEditBox()->isVisible());

    // The "Neu" button takes the same path.
    fillRows(2);
    m_window->updateActionStates();
    QTest::mouseClick(m_window->header()->clearButton, Qt::LeftButton);
    QCOMPARE(restarts.count(), 2);
    QVERIFY(!heat().hasData());
}

QTEST_MAIN(TestMainWindowEditing)
#include "tst_mainwindow_editing.moc"

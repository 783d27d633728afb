#include "competition/widgets/CompetitionTableView.h"
#include "mock/WindowFixture.h"
#include "ui/program/SettingsCommand.h"
#include "ui/program/SettingsDialog.h"
#include "ui/startlist/HistoryCommands.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"
#include "widgets/DecimalSpinBox.h"
#include "widgets/ElidingLabel.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// Every key of every menu entry of the main window, pressed with the focus in each kind of
// field (the X11 key bindings give a line edit Ctrl+E and more); and the keypad digits as the
// X server sends them.
class TestMenuKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { m_window.reset(); }
    void everyKeyWhateverHasTheFocus_data();
    void everyKeyWhateverHasTheFocus();
    void editingKeysChangeTheFieldOnly_data();
    void editingKeysChangeTheFieldOnly();
    void keypadDigitsLeaveTheRadioMark_data();
    void keypadDigitsLeaveTheRadioMark();
    void pageKeysInTheTitle();

private:
    QWidget* focus(const QString& field);
    QList<QAction*> keyedEntries() const;

    InstallationFixture m_install;
    std::unique_ptr<MainWindow> m_window;
};

void TestMenuKeys::initTestCase() {
    m_window = std::make_unique<SessionWindow>(m_install.environment());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_window->session().competition().heatStartList().appendRow(
        {"1", "Name", "Vorname", "Verein", "1"});
    // Only the key is looked at here: the entries do nothing.
    for (QAction* entry : keyedEntries())
        QObject::disconnect(entry, &QAction::triggered, nullptr, nullptr);
}

QList<QAction*> TestMenuKeys::keyedEntries() const {
    QList<QAction*> entries, open = m_window->menuBar()->actions() + m_window->QWidget::actions();
    while (!open.isEmpty()) {
        QAction* action = open.takeFirst();
        if (action->menu())
            open += action->menu()->actions();
        else if (!action->shortcut().isEmpty() && !entries.contains(action))
            entries.append(action);
    }
    return entries;
}

QWidget* TestMenuKeys::focus(const QString& field) {
    QWidget* target = m_window->header()->titleEdit;
    if (field == u"table") {
        target = m_window->tableView(0);
    } else if (field == u"cell editor") {
        CompetitionTableView* view = m_window->tableView(0);
        if (!m_window->cellEditBox()->isChecked())
            m_window->cellEditBox()->click();
        view->setCurrentIndex(view->model()->index(0, 1));
        view->edit(view->currentIndex());
        return qobject_cast<QLineEdit*>(QApplication::focusWidget());
    } else if (field == u"settings number") {
        SettingsDialog& dialog = m_window->settingsCommand().createDialog();
        dialog.fill(m_window->session().settings());
        dialog.open();
        target = dialog.lockTimeEdit;
    }
    target->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
    return target;
}

void TestMenuKeys::everyKeyWhateverHasTheFocus_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("acts");
    // Behind the modal settings dialog only the keys that take times act.
    const QStringList underModalDialog{"F4", "F5", "F6", "F8", "F11", "F12"};
    // Undo and redo in a text field take back what was typed there, not a change of the list.
    const QStringList textFieldsOwn{"Ctrl+Z", "Ctrl+Y", "Ctrl+Shift+Z"};
    for (const QString field : {"title", "table", "cell editor", "settings number"}) {
        const bool textField = field == u"title" || field == u"cell editor";
        for (QAction* entry : keyedEntries()) {
            const QString key = entry->shortcut().toString();
            QTest::addRow("%s, %s", qPrintable(field), qPrintable(key))
                << field << entry->objectName()
                << ((field != u"settings number" || underModalDialog.contains(key)) &&
                    !(textField && textFieldsOwn.contains(key)));
        }
    }
}

void TestMenuKeys::everyKeyWhateverHasTheFocus() {
    QFETCH(QString, field);
    QFETCH(QString, entry);
    QFETCH(bool, acts);
    auto* action = m_window->findChild<QAction*>(entry);
    action->setEnabled(true);
    QWidget* target = focus(field);
    QVERIFY(target);
    QTRY_COMPARE(QApplication::focusWidget(), target);
    QSignalSpy triggered(action, &QAction::triggered);
    const QKeyCombination key = action->shortcut()[0];
    // Through the window system, as a real key reaches the window before its field.
    QTest::keyClick(target->window()->windowHandle(), key.key(), key.keyboardModifiers());
    QCOMPARE(triggered.count(), acts ? 1 : 0);
    if (QWidget* dialog = QApplication::activeModalWidget())
        dialog->close();
}

void TestMenuKeys::editingKeysChangeTheFieldOnly_data() {
    QTest::addColumn<bool>("cellEditor");
    QTest::newRow("title") << false;
    QTest::newRow("cell editor") << true;
}

void TestMenuKeys::editingKeysChangeTheFieldOnly() {
    QFETCH(bool, cellEditor);
    SessionWindow window(m_install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    CompetitionTable& heat = window.session().competition().heatStartList();
    heat.appendRow({"7", "Meier", "Max", "SC", "1", "", "13,97"});
    const int row = heat.rowsWithHeader() - 1;
    auto* history = window.findChild<HistoryCommands*>();
    const QString listStep = QStringLiteral("Rückgängig: Ergebnis 13,97 für Nr. 7 Meier");
    QTRY_COMPARE(history->undoAction()->text(), listStep);
    QLineEdit* field = window.header()->titleEdit;
    if (cellEditor) {
        window.cellEditBox()->click();
        CompetitionTableView* view = window.tableView(0);
        view->setCurrentIndex(view->model()->index(row - 1, 2));
        view->edit(view->currentIndex());
        field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(field);
    }
    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field);
    const QString before = field->text();
    QWindow* keys = window.windowHandle();
    QTest::keyClick(keys, Qt::Key_End);
    QTest::keyClick(keys, Qt::Key_X, Qt::NoModifier, 0);
    QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field->text(), before);
    QTest::keyClick(keys, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(field->text(), before + u'x');
    QTest::keyClick(keys, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(keys, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(field->text(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), before + u'x');
    QTest::keyClick(keys, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(keys, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field->text(), (before + u'x').repeated(2));
    // The result entered before is still there; the table's Ctrl+Z takes back the last change
    // of the list and says so.
    QCOMPARE(heat.cell(6, row), QStringLiteral("13,97"));
    if (!cellEditor)
        QCOMPARE(history->undoAction()->text(), listStep);
    window.tableView(0)->setFocus();
    QTRY_VERIFY(window.tableView(0)->hasFocus());
    const QString step = history->undoAction()->text();
    QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier);
    QTRY_VERIFY(window.mainStatusBar()->noticePanel()->text().contains(step));
}

void TestMenuKeys::keypadDigitsLeaveTheRadioMark_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("checked"); // radio mark | hidden entries
    QTest::newRow("Ctrl+Numpad1") << "ctrl+KP_1"
                                  << "TVModusAus|M1";
    QTest::newRow("Ctrl+2, then Ctrl+Numpad0") << "ctrl+2 ctrl+KP_0"
                                               << "TVModusBestTeam|M0";
    QTest::newRow("Ctrl+3 moves it") << "ctrl+3"
                                     << "TVModusTop3|";
}

void TestMenuKeys::keypadDigitsLeaveTheRadioMark() {
    QFETCH(QString, keys);
    QFETCH(QString, checked);
    SessionWindow window(m_install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.header()->titleEdit->setFocus(); // where it is after start-up
    // Through the X server, which gives the keys their keypad codes.
    QCOMPARE(QProcess::execute("xdotool", QStringList{"key"} + keys.split(u' ')), 0);
    const MainActions& a = window.actions();
    const auto marks = [&a] {
        QStringList hidden;
        for (QAction* entry : a.tvModeKeys)
            if (entry->isChecked())
                hidden << entry->objectName();
        return a.tvModeGroup->checkedAction()->objectName() + u'|' + hidden.join(u',');
    };
    QTRY_COMPARE(marks(), checked);
}

void TestMenuKeys::pageKeysInTheTitle() {
    SessionWindow window(m_install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.header()->titleEdit->setFocus();
    // Through the X server, which gives Shift+Tab its own key.
    QCOMPARE(QProcess::execute("xdotool", {"key", "ctrl+Tab", "ctrl+Tab", "ctrl+shift+Tab"}), 0);
    QTRY_COMPARE(window.findChild<StagePages*>()->currentIndex(), 1);
}

QTEST_MAIN(TestMenuKeys)
#include "tst_menukeys_xvfb.moc"

#include "competition/widgets/TSortGridView.h"
#include "mock/WindowFixture.h"
#include "ui/HeaderBand.h"
#include "ui/MainActions.h"
#include "ui/SettingsCommand.h"
#include "ui/TCfgDialog.h"
#include "ui/TFormMain.h"
#include "ui/TSpinFloatEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// Every key of every menu entry of the main window, pressed with the focus in each kind of
// field: the title, the table, a cell being edited, and a number of the settings dialog; and
// the keypad digits as the X server sends them.
class TestMenuKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void everyKeyWhateverHasTheFocus_data();
    void everyKeyWhateverHasTheFocus();
    void keypadDigitsLeaveTheRadioMark_data();
    void keypadDigitsLeaveTheRadioMark();

private:
    QWidget* focus(const QString& field);
    QList<QAction*> keyedEntries() const;

    std::unique_ptr<InstallationFixture> m_install;
    std::unique_ptr<TFormMain> m_window;
};

namespace {

void collect(const QList<QAction*>& actions, QList<QAction*>& into) {
    for (QAction* action : actions) {
        if (action->menu())
            collect(action->menu()->actions(), into);
        else if (!action->shortcut().isEmpty() && !into.contains(action))
            into.append(action);
    }
}

// Taken by the timing keys even behind a modal dialog.
const QStringList UnderModalDialog{"F4", "F5", "F6", "F8", "F11", "F12"};

} // namespace

void TestMenuKeys::initTestCase() {
    m_install = std::make_unique<InstallationFixture>();
    m_window = std::make_unique<TFormMain>(m_install->environment());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    TSortGrid& heat = m_window->competition().heatStartList();
    heat.AddRow({"1", "Name", "Vorname", "Verein", "1"});
    // Only the key is looked at: the entries do nothing, and all of them are available.
    for (QAction* entry : keyedEntries())
        QObject::disconnect(entry, &QAction::triggered, nullptr, nullptr);
}

void TestMenuKeys::cleanupTestCase() {
    m_window.reset();
    m_install.reset();
}

QList<QAction*> TestMenuKeys::keyedEntries() const {
    QList<QAction*> entries;
    collect(m_window->menuBar()->actions(), entries);
    collect(m_window->QWidget::actions(), entries);
    return entries;
}

QWidget* TestMenuKeys::focus(const QString& field) {
    QWidget* target = nullptr;
    if (field == u"title") {
        target = m_window->header()->eZeile;
    } else if (field == u"table") {
        target = m_window->SortGridView(0);
    } else if (field == u"cell editor") {
        TSortGridView* view = m_window->SortGridView(0);
        if (!m_window->cdEdit()->isChecked())
            m_window->cdEdit()->click();
        const QModelIndex cell = view->model()->index(0, 1);
        view->setCurrentIndex(cell);
        view->edit(cell);
        return qobject_cast<QLineEdit*>(QApplication::focusWidget());
    } else {
        TCfgDialog& dialog = m_window->settingsCommand().createDialog();
        dialog.fill(m_window->settings());
        dialog.open();
        target = dialog.seTimer;
    }
    target->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
    return target;
}

void TestMenuKeys::everyKeyWhateverHasTheFocus_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("acts");
    for (const char* field : {"title", "table", "cell editor", "settings number"}) {
        for (QAction* entry : keyedEntries()) {
            const QString key = entry->shortcut().toString();
            // The settings dialog is modal: of the window's keys only those taking times act.
            const bool acts = QLatin1String(field) != QLatin1String("settings number") ||
                              UnderModalDialog.contains(key);
            QTest::addRow("%s, %s %s", field, qPrintable(key), qPrintable(entry->objectName()))
                << QString::fromLatin1(field) << entry->objectName() << acts;
        }
    }
}

void TestMenuKeys::everyKeyWhateverHasTheFocus() {
    QFETCH(QString, field);
    QFETCH(QString, entry);
    QFETCH(bool, acts);
    auto* action = m_window->findChild<QAction*>(entry);
    QVERIFY(action);
    action->setEnabled(true);
    QWidget* target = focus(field);
    QVERIFY(target);
    QTRY_COMPARE(QApplication::focusWidget(), target);
    QSignalSpy triggered(action, &QAction::triggered);
    const QKeyCombination key = action->shortcut()[0];
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
    QCOMPARE(triggered.count(), acts ? 1 : 0);
    if (QWidget* dialog = QApplication::activeModalWidget())
        dialog->close();
}

void TestMenuKeys::keypadDigitsLeaveTheRadioMark_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("hidden");
    QTest::newRow("Ctrl+Numpad1") << "ctrl+KP_1"
                                  << "TVModusAus"
                                  << "M1";
    QTest::newRow("Ctrl+Numpad4") << "ctrl+KP_4"
                                  << "TVModusAus"
                                  << "M4";
    QTest::newRow("Ctrl+2, then Ctrl+Numpad0") << "ctrl+2 ctrl+KP_0"
                                               << "TVModusBestTeam"
                                               << "M0";
    QTest::newRow("Ctrl+3 moves it") << "ctrl+3"
                                     << "TVModusTop3"
                                     << "";
}

void TestMenuKeys::keypadDigitsLeaveTheRadioMark() {
    QFETCH(QString, keys);
    QFETCH(QString, radio);
    QFETCH(QString, hidden);
    InstallationFixture install;
    TFormMain window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // Where the focus is after start-up.
    window.header()->eZeile->setFocus();
    QTRY_VERIFY(window.header()->eZeile->hasFocus());
    // Through the X server, which gives the keys their keypad codes.
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), QStringList{"key"} + keys.split(u' ')),
             0);
    const MainActions& a = window.actions();
    const auto checked = [&a] {
        QStringList radioMark, hiddenMarks;
        for (QAction* entry : a.tvModes)
            if (entry->isChecked())
                radioMark << entry->objectName();
        for (QAction* entry : a.M)
            if (entry->isChecked())
                hiddenMarks << entry->objectName();
        return radioMark.join(u',') + u'|' + hiddenMarks.join(u',');
    };
    QTRY_COMPARE(checked(), radio + u'|' + hidden);
}

QTEST_MAIN(TestMenuKeys)
#include "tst_menukeys_xvfb.moc"

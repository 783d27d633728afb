#include "competition/Competition.h"
#include "mock/WindowFixture.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"
#include "widgets/ColorButton.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// Every menu entry with its caption and shortcut, the keys reaching them, and the rules that
// enable entries when a menu opens.
class TestMainWindowMenus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menuEntries_data();
    void menuEntries();
    void menuOrder();
    void tvSubmenuAtPositionFour();
    void hiddenTvEntries();
    void keysReachTheirEntries_data();
    void keysReachTheirEntries();
    void disabledEntriesIgnoreTheirKeys_data();
    void disabledEntriesIgnoreTheirKeys();
    void wordKeyAndButtonTakeOnePath();
    void resetKeyAndButtonTakeOnePath();
    void timingButtonsInvokeTheirEntries_data();
    void timingButtonsInvokeTheirEntries();
    void deleteResultsOnlyOnStartLists_data();
    void deleteResultsOnlyOnStartLists();
    void tvModeKeys();

private:
    QAction* action(const char* name) const;
    void fillHeatStartList(int rows);

    std::unique_ptr<InstallationFixture> m_install;
    ScriptedAnswers m_answers;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindowMenus::init() {
    m_install = std::make_unique<InstallationFixture>();
    m_answers = ScriptedAnswers();
    m_window = std::make_unique<SessionWindow>(m_install->environment(&m_answers));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainWindowMenus::cleanup() {
    m_window.reset();
    m_install.reset();
}

QAction* TestMainWindowMenus::action(const char* name) const {
    return m_window->findChild<QAction*>(QString::fromLatin1(name));
}

void TestMainWindowMenus::fillHeatStartList(int rows) {
    CompetitionTable& grid = m_window->session().competition().heatStartList();
    grid.setRowsWithHeader(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        grid.setRowCells(r,
                         {QString::number(r), QStringLiteral("Name"), QStringLiteral("Vorname"),
                          QStringLiteral("Verein"), QStringLiteral("1"), QString(),
                          QStringLiteral("1000"), QStringLiteral("1100"), QStringLiteral("1200")});
    }
}

void TestMainWindowMenus::menuEntries_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");

    const auto row = [](const char* menu, const char* name, const char* caption,
                        const QKeySequence& key, bool enabled) {
        QTest::newRow(name) << QString::fromUtf8(menu) << QString::fromLatin1(name)
                            << QString::fromUtf8(caption) << key << enabled;
    };
    row("Startliste", "mOpen", "Öffnen...", QKeySequence(Qt::CTRL | Qt::Key_O), true);
    row("Startliste", "Neue1", "Neue", QKeySequence(Qt::CTRL | Qt::Key_N), true);
    row("Startliste", "mSave", "Speichern als…", QKeySequence(Qt::CTRL | Qt::Key_S), true);
    row("Startliste", "Druken1", "Druckvorschau...", QKeySequence(Qt::CTRL | Qt::Key_D), false);
    row("Startliste", "mWord", "Export in MS Word", QKeySequence(Qt::CTRL | Qt::Key_W), false);
    row("Startliste", "mExcel", "Export in MS Excel", QKeySequence(Qt::CTRL | Qt::Key_E), false);
    row("Startliste", "Webseite", "Als Webseite speichern", QKeySequence(Qt::CTRL | Qt::Key_H),
        false);
    row("Startliste", "Generate", "Zufallsergebnisse generieren", QKeySequence(), true);
    row("Startliste", "Deleteresults1", "Ergebnisse löschen", QKeySequence(), true);
    row("Startliste", "mImport", "Teilnehmer importieren...", QKeySequence(Qt::CTRL | Qt::Key_I),
        true);
    row("Startliste", "mLateEntry", "Nachmeldung...", QKeySequence(Qt::CTRL | Qt::Key_L), true);
    row("Startliste", "mCertificates", "Urkunden...", QKeySequence(Qt::CTRL | Qt::Key_U), true);
    // Nothing to take back yet.
    row("Startliste", "mUndo", "Rückgängig", QKeySequence(Qt::CTRL | Qt::Key_Z), false);
    row("Startliste", "mRedo", "Wiederholen", QKeySequence(Qt::CTRL | Qt::Key_Y), false);
    // Available after start-up: the first start counts down ("Timer" 10 s).
    row("Stoppuhr", "mTimer", "Timer", QKeySequence(Qt::Key_F4), true);
    row("Stoppuhr", "mStart", "Start", QKeySequence(Qt::Key_F5), true);
    row("Stoppuhr", "mLap", "Zwischen", QKeySequence(Qt::Key_F6), false);
    row("Stoppuhr", "mNichtImZiel", "Nicht im Ziel", QKeySequence(Qt::Key_F7), false);
    row("Stoppuhr", "mStop", "Stopp", QKeySequence(Qt::Key_F8), false);
    row("Stoppuhr", "mEintragen", "Eintragen", QKeySequence(Qt::Key_F9), false);
    row("Stoppuhr", "mReset", "0,00", QKeySequence(Qt::Key_F10), false);
    row("Stoppuhr", "LockLS1", "Start-LS frei/gesperrt", QKeySequence(Qt::Key_F11), false);
    row("Stoppuhr", "LockLS2", "Stopp-LS frei/gesperrt", QKeySequence(Qt::Key_F12), false);
    // The empty start list has no run to repeat.
    row("Stoppuhr", "mLaufWiederholen", "Lauf wiederholen", QKeySequence(Qt::CTRL | Qt::Key_R),
        false);
    row("Programm", "mHilfe", "H&ilfe", QKeySequence(Qt::Key_F1), true);
    row("Programm", "mCFG", "Einstellungen...", QKeySequence(Qt::Key_F2), true);
    row("Programm", "mInfo", "Info...", QKeySequence(Qt::Key_F3), true);
    row("Programm", "mLive", "Live-Ergebnisse im Netzwerk", QKeySequence(), true);
    row("Programm", "mLivePort", "Port der Live-Ergebnisse...", QKeySequence(), true);
    // Only while the live results are served.
    row("Programm", "mLiveAddress", "Live-Adresse als QR-Code", QKeySequence(), false);
    row("Programm", "mBeenden", "Beenden", QKeySequence(Qt::ALT | Qt::Key_F4), true);
    row("TV-Modus", "TVModusAus", "TV Modus Aus", QKeySequence(Qt::CTRL | Qt::Key_0), true);
    row("TV-Modus", "TVModusZeit", "TV-Modus \"Zeit\"", QKeySequence(Qt::CTRL | Qt::Key_1), true);
    row("TV-Modus", "TVModusBestTeam", "TV-Modus \"Best Team\"", QKeySequence(Qt::CTRL | Qt::Key_2),
        true);
    row("TV-Modus", "TVModusTop3", "TV-Modus \"TOP3 je Klasse\"",
        QKeySequence(Qt::CTRL | Qt::Key_3), true);
    row("TV-Modus", "TVModusVideo", "TV-Modus \"Video\"", QKeySequence(Qt::CTRL | Qt::Key_4), true);
}

void TestMainWindowMenus::menuEntries() {
    QFETCH(QString, menu);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    auto* entry = m_window->findChild<QAction*>(name);
    QVERIFY(entry);
    QCOMPARE(entry->text(), caption);
    QCOMPARE(entry->shortcut(), shortcut);
    QCOMPARE(entry->isEnabled(), enabled);
    QMenu* owner = nullptr;
    for (QMenu* candidate : m_window->findChildren<QMenu*>()) {
        if (QString(candidate->title()).remove(u'&') == menu)
            owner = candidate;
    }
    QVERIFY2(owner, qPrintable(menu));
    QVERIFY(owner->actions().contains(entry));
}

void TestMainWindowMenus::menuOrder() {
    QStringList titles;
    for (QAction* entry : m_window->menuBar()->actions())
        titles.append(QString(entry->text()).remove(u'&'));
    QCOMPARE(titles, (QStringList{QStringLiteral("Startliste"), QStringLiteral("Stoppuhr"),
                                  QStringLiteral("Programm")}));
    QStringList startliste;
    for (QAction* entry : m_window->actions().startListMenu->actions())
        startliste.append(entry->objectName());
    QCOMPARE(startliste,
             (QStringList{"mOpen", "Neue1", "mSave", "Druken1", "mWord", "mExcel", "Webseite",
                          "Generate", "Deleteresults1", "", "mImport", "mLateEntry",
                          "mCertificates", "mFreigabe", "", "mUndo", "mRedo"}));
}

void TestMainWindowMenus::tvSubmenuAtPositionFour() {
    const QList<QAction*> entries = m_window->actions().programMenu->actions();
    QCOMPARE(entries.size(), 10);
    QCOMPARE(entries[2]->text(), QStringLiteral("Info..."));
    QCOMPARE(entries[3]->text(), QStringLiteral("TV-Modus"));
    QCOMPARE(entries[3]->menu(), m_window->actions().tvMenu);
    QCOMPARE(entries[4]->text(), QStringLiteral("Live-Ergebnisse im Netzwerk"));
    QCOMPARE(entries[7]->text(), QStringLiteral("Live-Adresse"));
    QCOMPARE(entries[8]->text(), QStringLiteral("Cupwertung..."));
    QCOMPARE(entries[9]->text(), QStringLiteral("Beenden"));
    QVERIFY(entries[3]->isEnabled());
    QVERIFY(m_window->header()->tvButton->isEnabled());
    QVERIFY(action("TVModusAus")->isChecked());
}

void TestMainWindowMenus::hiddenTvEntries() {
    for (int i = 0; i < 5; ++i) {
        QAction* hidden = m_window->actions().tvModeKeys[i];
        QCOMPARE(hidden->objectName(), QStringLiteral("M%1").arg(i));
        const Qt::Key digit = Qt::Key(Qt::Key_0 + i);
        QCOMPARE(hidden->shortcut(),
                 QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, digit)));
        QVERIFY(m_window->QWidget::actions().contains(hidden));
    }
    QCOMPARE(action("CtrlT1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
}

void TestMainWindowMenus::keysReachTheirEntries_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Ctrl+O") << "mOpen" << int(Qt::Key_O) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+N") << "Neue1" << int(Qt::Key_N) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+S") << "mSave" << int(Qt::Key_S) << int(Qt::ControlModifier);
    QTest::newRow("F5") << "mStart" << int(Qt::Key_F5) << 0;
    QTest::newRow("F1") << "mHilfe" << int(Qt::Key_F1) << 0;
    QTest::newRow("F2") << "mCFG" << int(Qt::Key_F2) << 0;
    QTest::newRow("Ctrl+1") << "TVModusZeit" << int(Qt::Key_1) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+T") << "CtrlT1" << int(Qt::Key_T) << int(Qt::ControlModifier);
}

void TestMainWindowMenus::keysReachTheirEntries() {
    QFETCH(QString, name);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QAction* entry = action(name.toLatin1().constData());
    QSignalSpy triggered(entry, &QAction::triggered);
    // An entry that opens a modal dialog (F2) gets it closed again, so the key returns.
    QTimer::singleShot(0, m_window.get(), [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    QTest::keyClick(m_window.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(triggered.count(), 1);
}

void TestMainWindowMenus::disabledEntriesIgnoreTheirKeys_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("F6") << "mLap" << int(Qt::Key_F6) << 0;
    QTest::newRow("F8") << "mStop" << int(Qt::Key_F8) << 0;
    QTest::newRow("F9") << "mEintragen" << int(Qt::Key_F9) << 0;
    QTest::newRow("F10") << "mReset" << int(Qt::Key_F10) << 0;
    QTest::newRow("F11") << "LockLS1" << int(Qt::Key_F11) << 0;
    QTest::newRow("F12") << "LockLS2" << int(Qt::Key_F12) << 0;
    QTest::newRow("Ctrl+D") << "Druken1" << int(Qt::Key_D) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+W") << "mWord" << int(Qt::Key_W) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+E") << "mExcel" << int(Qt::Key_E) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+H") << "Webseite" << int(Qt::Key_H) << int(Qt::ControlModifier);
}

void TestMainWindowMenus::disabledEntriesIgnoreTheirKeys() {
    QFETCH(QString, name);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QAction* entry = action(name.toLatin1().constData());
    QVERIFY(!entry->isEnabled());
    QSignalSpy triggered(entry, &QAction::triggered);
    QTest::keyClick(m_window.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(triggered.count(), 0);
}

void TestMainWindowMenus::wordKeyAndButtonTakeOnePath() {
    QVERIFY(m_install->writeFile(QStringLiteral("Protokollvorlage.docx")));
    m_window.reset();
    m_window = std::make_unique<SessionWindow>(m_install->environment(&m_answers));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    fillHeatStartList(3);
    m_window->session().setOfficeInstalled(true, false);
    QVERIFY(action("mWord")->isEnabled());
    QVERIFY(m_window->header()->wordButton->isEnabled());
    QCOMPARE(m_window->header()->wordButton->toolTip(),
             QStringLiteral("Export in MS Word [Ctrl+W]"));
    QSignalSpy triggered(action("mWord"), &QAction::triggered);
    QTest::keyClick(m_window.get(), Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
    QTest::mouseClick(m_window->header()->wordButton, Qt::LeftButton);
    QCOMPARE(triggered.count(), 2);
}

void TestMainWindowMenus::resetKeyAndButtonTakeOnePath() {
    HeaderBand* h = m_window->header();
    QSignalSpy triggered(action("mReset"), &QAction::triggered);
    QTest::mousePress(h->resetButton, Qt::LeftButton);
    QTest::keyClick(m_window.get(), Qt::Key_F10);
    QCOMPARE(triggered.count(), 0);
    m_window->setTimingButtonState(h->resetButton, true, Qt::black);
    QVERIFY(action("mReset")->isEnabled());
    QTest::keyClick(m_window.get(), Qt::Key_F10);
    QCOMPARE(triggered.count(), 1);
    QTest::mousePress(h->resetButton, Qt::LeftButton);
    QCOMPARE(triggered.count(), 2);
}

void TestMainWindowMenus::timingButtonsInvokeTheirEntries_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("onPress");
    QTest::newRow("TIMER") << "bTimer"
                           << "mTimer" << true;
    QTest::newRow("START") << "bSTART"
                           << "mStart" << true;
    QTest::newRow("Zwischen") << "bLAP"
                              << "mLap" << true;
    QTest::newRow("STOPP") << "bSTOP"
                           << "mStop" << true;
    QTest::newRow("Eintragen") << "bEintragen"
                               << "mEintragen" << false;
    QTest::newRow("00:00") << "bRESET"
                           << "mReset" << true;
}

void TestMainWindowMenus::timingButtonsInvokeTheirEntries() {
    QFETCH(QString, button);
    QFETCH(QString, entry);
    QFETCH(bool, onPress);
    auto* b = m_window->findChild<ColorButton*>(button);
    QVERIFY(b);
    m_window->setTimingButtonState(b, true, QColor(0xA6CAF0));
    QAction* command = action(entry.toLatin1().constData());
    QVERIFY(command->isEnabled());
    QSignalSpy triggered(command, &QAction::triggered);
    QTest::mousePress(b, Qt::RightButton);
    QCOMPARE(triggered.count(), onPress ? 1 : 0);
    m_window->setTimingButtonState(b, false, ColorButton::faceColor());
    QVERIFY(!command->isEnabled());
}

void TestMainWindowMenus::deleteResultsOnlyOnStartLists_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("heat start list") << 0 << true;
    QTest::newRow("heat results") << 1 << false;
    QTest::newRow("final start list") << 2 << true;
    QTest::newRow("final results") << 3 << false;
}

void TestMainWindowMenus::deleteResultsOnlyOnStartLists() {
    QFETCH(int, page);
    QFETCH(bool, enabled);
    QAction* entry = action("Deleteresults1");
    m_window->stagePages()->setCurrentIndex(page);
    entry->setEnabled(!enabled);
    QMenu* menu = m_window->actions().startListMenu;
    menu->popup(m_window->mapToGlobal(QPoint(10, 10)));
    QCOMPARE(entry->isEnabled(), enabled);
    menu->hide();
}

void TestMainWindowMenus::tvModeKeys() {
    MainActions& a = m_window->actions();
    QTest::keyClick(m_window.get(), Qt::Key_2, Qt::ControlModifier);
    QVERIFY(a.tvModes[2]->isChecked());
    QVERIFY(!a.tvModes[0]->isChecked());
    // A hidden entry checks itself only; the radio mark stays where it was.
    QTest::keyClick(m_window.get(), Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    QVERIFY(a.tvModeKeys[1]->isChecked());
    QVERIFY(a.tvModes[2]->isChecked());
    QVERIFY(!a.tvModes[1]->isChecked());
    QTest::keyClick(m_window.get(), Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    QVERIFY(a.tvModeKeys[1]->isChecked());
    // Ctrl+T: from a shown mode to "TV Modus Aus", from there to "Zeit".
    QTest::keyClick(m_window.get(), Qt::Key_T, Qt::ControlModifier);
    QVERIFY(a.tvModes[0]->isChecked());
    QTest::keyClick(m_window.get(), Qt::Key_T, Qt::ControlModifier);
    QVERIFY(a.tvModes[1]->isChecked());
    QTest::keyClick(m_window.get(), Qt::Key_T, Qt::ControlModifier);
    QVERIFY(a.tvModes[0]->isChecked());
}

QTEST_MAIN(TestMainWindowMenus)
#include "tst_mainwindow_menus.moc"

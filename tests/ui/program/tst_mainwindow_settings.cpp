#include "competition/CompetitionTable.h"
#include "journal/JournalEntry.h"
#include "journal/JournalReader.h"
#include "journal/JournalWriter.h"
#include "journal/widgets/JournalWiring.h"
#include "mock/TimingWindowFixture.h"
#include "output/BackupWriter.h"
#include "settings/SettingsApplier.h"
#include "settings/TvPlacement.h"
#include "timing/ControlStates.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/SerialPort.h"
#include "ui/program/ContactLogicBox.h"
#include "ui/program/SettingsCommand.h"
#include "ui/program/SettingsDialog.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "widgets/ColorButton.h"
#include "widgets/DecimalSpinBox.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <functional>

namespace {

const QString adapter = QStringLiteral("/dev/ttyUSB0");

// F2, the changes of the operator in the shown dialog, then "OK" or "Abbrechen".
void throughDialog(TimingWindowFixture& f, const std::function<void(SettingsDialog&)>& change,
                   bool confirm = true) {
    SettingsDialog& dialog = f.window().settingsCommand().createDialog();
    bool shown = false;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.isVisible();
        change(dialog);
        QTest::mouseClick(confirm ? dialog.okButton : dialog.cancelButton, Qt::LeftButton);
    });
    QTest::keyClick(&f.window(), Qt::Key_F2);
    QVERIFY(shown);
    QVERIFY(!dialog.isVisible());
    QTRY_VERIFY(!f.window().settingsCommand().applier().isPending());
}

// The result format chosen in the dialog, confirmed with "OK".
void chooseFormat(TimingWindowFixture& f, bool seconds) {
    SettingsDialog& dialog = f.window().settingsCommand().createDialog();
    QTimer::singleShot(0, &dialog, [&] {
        (seconds ? dialog.decimalNotation : dialog.hundredthsNotation)->setChecked(true);
        QTest::mouseClick(dialog.okButton, Qt::LeftButton);
    });
    f.window().actions().settings->trigger();
    QTRY_VERIFY(!f.window().settingsCommand().applier().isPending());
}

void openPortOne(TimingWindowFixture& f) {
    f.window().session().settings().port = 1;
    QVERIFY(f.window().session().port().open(1));
}

} // namespace

// "Einstellungen" (F2) in the running program: what the dialog shows and what "OK",
// "Abbrechen" and a chosen logo change in the window.
class TestMainWindowSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unpluggedPortShowsKeineAndOkLeavesItClosed();
    void keineDisablesContactsAndStopLock();
    void timerSetting_data();
    void timerSetting();
    void lastSection_data();
    void lastSection();
    void okReopensAnUnchangedPortAfterAPause();
    void portThatFailsIsToldWithItsReason_data();
    void portThatFailsIsToldWithItsReason();
    void cancelChangesNothing();
    void okWithOneScreenKeepsTheTvScreen();
    void logo_data();
    void logo();
    void timeFormatReachesTheResults_data();
    void timeFormatReachesTheResults();
    void formatSwitchConvertsEnteredTimes_data();
    void formatSwitchConvertsEnteredTimes();
};

void TestMainWindowSettings::unpluggedPortShowsKeineAndOkLeavesItClosed() {
    TimingWindowFixture f(adapter);
    // Stored by the last run, not among the ports present now.
    f.window().session().settings().port = 4;
    int shownIndex = -1;
    throughDialog(f, [&](SettingsDialog& d) { shownIndex = d.portBox->currentIndex(); });
    QCOMPARE(shownIndex, 0);
    QCOMPARE(f.window().session().settings().port, 0);
    QVERIFY(!f.window().session().port().isOpen());
}

void TestMainWindowSettings::keineDisablesContactsAndStopLock() {
    TimingWindowFixture f(adapter);
    openPortOne(f);
    QStringList seen;
    throughDialog(
        f,
        [&](SettingsDialog& d) {
            seen.append(d.portBox->currentText());
            seen.append(QStringLiteral("%1 %2")
                            .arg(d.contactLogicBox->isEnabled())
                            .arg(d.waitEdit->isEnabled()));
            d.portBox->setCurrentIndex(0);
            seen.append(QStringLiteral("%1 %2")
                            .arg(d.contactLogicBox->isEnabled())
                            .arg(d.waitEdit->isEnabled()));
            seen.append(d.waitEdit->toolTip().isEmpty() ? QStringLiteral("no hint")
                                                        : QStringLiteral("hint"));
        },
        false);
    QCOMPARE(seen, (QStringList{QStringLiteral("COM1  /dev/ttyUSB0"), QStringLiteral("1 1"),
                                QStringLiteral("0 0"), QStringLiteral("hint")}));
}

void TestMainWindowSettings::timerSetting_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("timerMs");

    QTest::newRow("0 hides TIMER") << "0" << false << 0;
    QTest::newRow("2.5 s shows it orange") << "2,5" << true << 2500;
}

void TestMainWindowSettings::timerSetting() {
    QFETCH(QString, typed);
    QFETCH(bool, visible);
    QFETCH(int, timerMs);
    TimingWindowFixture f;
    throughDialog(f, [&](SettingsDialog& d) {
        d.lockTimeEdit->setFocus();
        d.lockTimeEdit->selectAll();
        QTest::keyClicks(d.lockTimeEdit, typed);
    });
    QCOMPARE(f.window().session().settings().timer, timerMs);
    ColorButton* timer = f.window().header()->countdownButton;
    QCOMPARE(timer->isHidden(), !visible);
    QCOMPARE(timer->isEnabled(), visible);
    QCOMPARE(f.window().actions().countdown->isEnabled(), visible);
    QCOMPARE(timer->color(),
             visible ? QColor::fromRgb(ControlStates::orange) : ColorButton::faceColor());
    QCOMPARE(f.window().session().clock().countdownActive(), visible);
    // The focus goes to TIMER when it shows, otherwise to START (the window gets it back
    // from the dialog once the window manager has activated it again).
    QWidget* focus = visible ? timer : f.window().header()->startButton;
    QCOMPARE(f.window().focusWidget(), focus);
}

void TestMainWindowSettings::lastSection_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("lapVisible");

    QTest::newRow("0 hides Zwischen") << "0" << false;
    QTest::newRow("30 m shows it") << "30" << true;
}

void TestMainWindowSettings::lastSection() {
    QFETCH(QString, typed);
    QFETCH(bool, lapVisible);
    TimingWindowFixture f;
    throughDialog(f, [&](SettingsDialog& d) {
        d.countdownEdit->setFocus();
        d.countdownEdit->selectAll();
        QTest::keyClicks(d.countdownEdit, typed);
    });
    QCOMPARE(f.window().session().settings().len, typed.toInt());
    QCOMPARE(f.window().header()->intermediateButton->isHidden(), !lapVisible);
}

void TestMainWindowSettings::okReopensAnUnchangedPortAfterAPause() {
    TimingWindowFixture f(adapter);
    openPortOne(f);
    SerialPort& port = f.window().session().port().comPort();
    QElapsedTimer clock;
    qint64 closedAt = -1;
    qint64 openedAt = -1;
    connect(&port, &SerialPort::closed, this, [&] { closedAt = clock.elapsed(); });
    connect(&port, &SerialPort::opened, this, [&] { openedAt = clock.elapsed(); });
    clock.start();
    throughDialog(f, [](SettingsDialog&) {});
    QVERIFY(closedAt >= 0);
    QVERIFY(openedAt >= closedAt + SettingsApplier::reopenDelayMs);
    QVERIFY(f.window().session().port().isOpen());
    QCOMPARE(f.window().session().settings().port, 1);
    QCOMPARE(f.serial().openDescriptors(), 1);
}

void TestMainWindowSettings::portThatFailsIsToldWithItsReason_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");

    QTest::newRow("busy") << EBUSY << "belegt";
    QTest::newRow("no permission") << EACCES << "Gruppe dialout";
    QTest::newRow("gone") << ENOENT << "nicht mehr vorhanden";
}

void TestMainWindowSettings::portThatFailsIsToldWithItsReason() {
    QFETCH(int, error);
    QFETCH(QString, reason);
    TimingWindowFixture f(adapter);
    f.serial().setOpenError(adapter, error);
    throughDialog(f, [](SettingsDialog& d) { d.portBox->setCurrentIndex(1); });
    // The setting keeps the chosen port; the barriers stay inactive.
    QCOMPARE(f.window().session().settings().port, 1);
    QVERIFY(!f.window().session().port().isOpen());
    const QString message = f.window().mainStatusBar()->currentMessage();
    QVERIFY2(message.startsWith(
                 QStringLiteral("Die Lichtschranken an COM1 konnten nicht geöffnet werden")),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
}

void TestMainWindowSettings::cancelChangesNothing() {
    TimingWindowFixture f(adapter);
    openPortOne(f);
    const Settings before = f.window().session().settings();
    QSignalSpy closed(&f.window().session().port().comPort(), &SerialPort::closed);
    throughDialog(
        f,
        [](SettingsDialog& d) {
            d.portBox->setCurrentIndex(0);
            d.lockTimeEdit->setValue(0);
            d.countdownEdit->setValue(0);
            d.decimalNotation->setChecked(true);
        },
        false);
    QVERIFY(f.window().session().settings() == before);
    QCOMPARE(closed.count(), 0);
    QVERIFY(!f.window().header()->countdownButton->isHidden());
    QVERIFY(!f.window().header()->intermediateButton->isHidden());
    // Escape closes it the same way.
    SettingsDialog* dialog = f.window().settingsCommand().dialog();
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->lockTimeEdit->setValue(0);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTest::keyClick(&f.window(), Qt::Key_F2);
    QVERIFY(f.window().session().settings() == before);
}

void TestMainWindowSettings::okWithOneScreenKeepsTheTvScreen() {
    TimingWindowFixture f;
    // The projector of the last run is off: nothing to choose, and nothing is forgotten.
    QCOMPARE(QGuiApplication::screens().size(), 1);
    f.window().session().settings().monitor = 1;
    bool choosable = true;
    throughDialog(f, [&](SettingsDialog& d) { choosable = d.monitorBox->isEnabled(); });
    QVERIFY(!choosable);
    QCOMPARE(f.window().session().settings().monitor, 1);
}

void TestMainWindowSettings::logo_data() {
    QTest::addColumn<bool>("readable");
    QTest::addColumn<bool>("confirm");

    QTest::newRow("picture, then Abbrechen") << true << false;
    QTest::newRow("picture, then OK") << true << true;
    QTest::newRow("not a picture") << false << false;
}

void TestMainWindowSettings::logo() {
    QFETCH(bool, readable);
    QFETCH(bool, confirm);
    TimingWindowFixture f;
    const QString name = readable ? QStringLiteral("logo.png") : QStringLiteral("logo.txt");
    if (readable)
        QVERIFY(f.install().writePicture(name));
    else
        QVERIFY(f.install().writeFile(name, "no picture"));
    f.window().session().settings().logo = QStringLiteral("/old/logo.png");
    const QString path = f.install().filePath(name);
    f.install().dialogs().answer(path);
    QSignalSpy reloads(&f.window().settingsCommand().tvPlacement(), &TvPlacement::reloadLogo);
    QString hint;
    throughDialog(
        f,
        [&](SettingsDialog& d) {
            QTest::mouseClick(d.logoButton, Qt::LeftButton);
            hint = d.logoButton->toolTip();
        },
        confirm);
    const QString expected = readable ? path : QString();
    QCOMPARE(f.install().dialogs().openRequests.size(), 1);
    QCOMPARE(f.install().dialogs().openRequests.first().fileName, QStringLiteral("/old/logo.png"));
    QCOMPARE(hint, expected);
    QCOMPARE(f.window().session().settings().logo, expected);
    QVERIFY(reloads.count() >= 1);
}

void TestMainWindowSettings::timeFormatReachesTheResults_data() {
    QTest::addColumn<bool>("seconds");
    QTest::addColumn<QString>("row");

    QTest::newRow("10,24") << true << "11 10,24 . . .";
    QTest::newRow("1024") << false << "11 1024 . . .";
}

void TestMainWindowSettings::timeFormatReachesTheResults() {
    QFETCH(bool, seconds);
    QFETCH(QString, row);
    TimingWindowFixture f;
    f.addCompetitors(2);
    throughDialog(f, [&](SettingsDialog& d) {
        d.lockTimeEdit->setValue(0);
        (seconds ? d.decimalNotation : d.hundredthsNotation)->setChecked(true);
    });
    QCOMPARE(f.window().session().settings().vidResult, seconds ? 1 : 0);
    QVERIFY(f.run({"F5", "+10240", "F8", "F9"}));
    QCOMPARE(f.heatRow(1), row);
}

void TestMainWindowSettings::formatSwitchConvertsEnteredTimes_data() {
    QTest::addColumn<bool>("toSeconds");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("before"); // Zeit1..Zeit3 of the first competitor
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("question");
    const QString asked = QStringLiteral("Ergebnis: Die 2 eingetragenen Zeiten werden in das neue "
                                         "Format umgerechnet („%1“ wird „%2“). Umrechnen und das "
                                         "Format wechseln?");
    QTest::newRow("to seconds") << true << true << QStringList{"5023", "-", "1024"}
                                << QStringList{"50,23", "-", "10,24"} << asked.arg("5023", "50,23");
    QTest::newRow("to hundredths")
        << false << true << QStringList{"50,23", "", "5895,00"} << QStringList{"5023", "", "589500"}
        << asked.arg("50,23", "5023");
    QTest::newRow("declined") << true << false << QStringList{"5023", "-", "1024"}
                              << QStringList{"5023", "-", "1024"} << asked.arg("5023", "50,23");
}

void TestMainWindowSettings::formatSwitchConvertsEnteredTimes() {
    QFETCH(bool, toSeconds);
    QFETCH(bool, answer);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, question);
    TimingWindowFixture f;
    f.addCompetitors(2);
    chooseFormat(f, !toSeconds);
    CompetitionTable& heats = f.window().session().competition().heatStartList();
    for (int i = 0; i < 3; ++i)
        heats.setCell(6 + i, 1, before[i]);
    const auto journalled = [&f] {
        if (!f.window().journal()->writer().flush())
            qWarning("The journal could not be flushed.");
        return JournalReader::readFile(
                   f.install().filePath(JournalWriter::fileName("Velmora", QDate::currentDate())))
            .entries;
    };
    const qsizetype entriesBefore = journalled().size();
    f.answers().answer = answer;
    chooseFormat(f, toSeconds);
    QCOMPARE(f.answers().questions, QStringList{question});
    for (int i = 0; i < 3; ++i)
        QCOMPARE(heats.cell(6 + i, 1), after[i]);
    const int format = answer == toSeconds ? 1 : 0;
    QCOMPARE(f.window().session().settings().vidResult, format);
    QCOMPARE(f.window().session().competition().timeFormat().setting(), format);
    // Each changed cell is in the journal, and the backup holds the converted times.
    int cellEntries = 0;
    for (const JournalEntry& entry : journalled().mid(entriesBefore)) {
        if (entry.kind == JournalEntry::Kind::Cell && entry.newText == after[0])
            ++cellEntries;
    }
    QCOMPARE(cellEntries, answer ? 1 : 0);
    QFile backup(f.window().session().backup()->backupPath());
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QVERIFY(backup.readAll().contains(after[0].toLatin1()));
    // A later switch with nothing to convert asks nothing.
    f.answers().questions.clear();
    chooseFormat(f, toSeconds);
    QCOMPARE(f.answers().questions.size(), answer ? 0 : 1);
}

QTEST_MAIN(TestMainWindowSettings)
#include "tst_mainwindow_settings.moc"

#include "competition/TSortGrid.h"
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
#include "timing/TComPort.h"
#include "ui/ContactLogicBox.h"
#include "ui/HeaderBand.h"
#include "ui/MainActions.h"
#include "ui/MainStatusBar.h"
#include "ui/SettingsCommand.h"
#include "ui/TCfgDialog.h"
#include "ui/TFormMain.h"
#include "ui/TimingView.h"
#include "widgets/TBitBtnWithColor.h"
#include "widgets/TSpinFloatEdit.h"

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
void throughDialog(TimingWindowFixture& f, const std::function<void(TCfgDialog&)>& change,
                   bool confirm = true) {
    TCfgDialog& dialog = f.window().settingsCommand().createDialog();
    bool shown = false;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.isVisible();
        change(dialog);
        QTest::mouseClick(confirm ? dialog.ButtonOK : dialog.ButtonCancel, Qt::LeftButton);
    });
    QTest::keyClick(&f.window(), Qt::Key_F2);
    QVERIFY(shown);
    QVERIFY(!dialog.isVisible());
    QTRY_VERIFY(!f.window().settingsCommand().applier().isPending());
}

// The result format chosen in the dialog, confirmed with "OK".
void chooseFormat(TimingWindowFixture& f, bool seconds) {
    TCfgDialog& dialog = f.window().settingsCommand().createDialog();
    QTimer::singleShot(0, &dialog, [&] {
        (seconds ? dialog.rbResult1 : dialog.rbResult0)->setChecked(true);
        QTest::mouseClick(dialog.ButtonOK, Qt::LeftButton);
    });
    f.window().actions().mCFG->trigger();
    QTRY_VERIFY(!f.window().settingsCommand().applier().isPending());
}

void openPortOne(TimingWindowFixture& f) {
    f.window().session().settings().port = 1;
    QVERIFY(f.window().session().port().open(1));
}

} // namespace

// "Einstellungen" (F2) in the running program: what the dialog shows and what "OK",
// "Abbrechen" and a chosen logo change in the window.
class TestFormMainSettings : public QObject {
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

void TestFormMainSettings::unpluggedPortShowsKeineAndOkLeavesItClosed() {
    TimingWindowFixture f(adapter);
    // Stored by the last run, not among the ports present now.
    f.window().session().settings().port = 4;
    int shownIndex = -1;
    throughDialog(f, [&](TCfgDialog& d) { shownIndex = d.cbPort->currentIndex(); });
    QCOMPARE(shownIndex, 0);
    QCOMPARE(f.window().session().settings().port, 0);
    QVERIFY(!f.window().session().port().isOpen());
}

void TestFormMainSettings::keineDisablesContactsAndStopLock() {
    TimingWindowFixture f(adapter);
    openPortOne(f);
    QStringList seen;
    throughDialog(
        f,
        [&](TCfgDialog& d) {
            seen.append(d.cbPort->currentText());
            seen.append(
                QStringLiteral("%1 %2").arg(d.cbAlg->isEnabled()).arg(d.seWait->isEnabled()));
            d.cbPort->setCurrentIndex(0);
            seen.append(
                QStringLiteral("%1 %2").arg(d.cbAlg->isEnabled()).arg(d.seWait->isEnabled()));
            seen.append(d.seWait->toolTip().isEmpty() ? QStringLiteral("no hint")
                                                      : QStringLiteral("hint"));
        },
        false);
    QCOMPARE(seen, (QStringList{QStringLiteral("COM1  /dev/ttyUSB0"), QStringLiteral("1 1"),
                                QStringLiteral("0 0"), QStringLiteral("hint")}));
}

void TestFormMainSettings::timerSetting_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("timerMs");

    QTest::newRow("0 hides TIMER") << "0" << false << 0;
    QTest::newRow("2.5 s shows it orange") << "2,5" << true << 2500;
}

void TestFormMainSettings::timerSetting() {
    QFETCH(QString, typed);
    QFETCH(bool, visible);
    QFETCH(int, timerMs);
    TimingWindowFixture f;
    throughDialog(f, [&](TCfgDialog& d) {
        d.seTimer->setFocus();
        d.seTimer->selectAll();
        QTest::keyClicks(d.seTimer, typed);
    });
    QCOMPARE(f.window().session().settings().timer, timerMs);
    TBitBtnWithColor* timer = f.window().header()->bTimer;
    QCOMPARE(timer->isHidden(), !visible);
    QCOMPARE(timer->isEnabled(), visible);
    QCOMPARE(f.window().actions().mTimer->isEnabled(), visible);
    QCOMPARE(timer->Color(),
             visible ? QColor::fromRgb(ControlStates::orange) : TBitBtnWithColor::faceColor());
    QCOMPARE(f.window().session().clock().countdownActive(), visible);
    // The focus goes to TIMER when it shows, otherwise to START (the window gets it back
    // from the dialog once the window manager has activated it again).
    QWidget* focus = visible ? timer : f.window().header()->bSTART;
    QCOMPARE(f.window().focusWidget(), focus);
}

void TestFormMainSettings::lastSection_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("lapVisible");

    QTest::newRow("0 hides Zwischen") << "0" << false;
    QTest::newRow("30 m shows it") << "30" << true;
}

void TestFormMainSettings::lastSection() {
    QFETCH(QString, typed);
    QFETCH(bool, lapVisible);
    TimingWindowFixture f;
    throughDialog(f, [&](TCfgDialog& d) {
        d.seLen->setFocus();
        d.seLen->selectAll();
        QTest::keyClicks(d.seLen, typed);
    });
    QCOMPARE(f.window().session().settings().len, typed.toInt());
    QCOMPARE(f.window().header()->bLAP->isHidden(), !lapVisible);
}

void TestFormMainSettings::okReopensAnUnchangedPortAfterAPause() {
    TimingWindowFixture f(adapter);
    openPortOne(f);
    TComPort& port = f.window().session().port().comPort();
    QElapsedTimer clock;
    qint64 closedAt = -1;
    qint64 openedAt = -1;
    connect(&port, &TComPort::OnClose, this, [&] { closedAt = clock.elapsed(); });
    connect(&port, &TComPort::OnOpen, this, [&] { openedAt = clock.elapsed(); });
    clock.start();
    throughDialog(f, [](TCfgDialog&) {});
    QVERIFY(closedAt >= 0);
    QVERIFY(openedAt >= closedAt + SettingsApplier::reopenDelayMs);
    QVERIFY(f.window().session().port().isOpen());
    QCOMPARE(f.window().session().settings().port, 1);
    QCOMPARE(f.serial().openDescriptors(), 1);
}

void TestFormMainSettings::portThatFailsIsToldWithItsReason_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");

    QTest::newRow("busy") << EBUSY << "belegt";
    QTest::newRow("no permission") << EACCES << "Gruppe dialout";
    QTest::newRow("gone") << ENOENT << "nicht mehr vorhanden";
}

void TestFormMainSettings::portThatFailsIsToldWithItsReason() {
    QFETCH(int, error);
    QFETCH(QString, reason);
    TimingWindowFixture f(adapter);
    f.serial().setOpenError(adapter, error);
    throughDialog(f, [](TCfgDialog& d) { d.cbPort->setCurrentIndex(1); });
    // The setting keeps the chosen port; the barriers stay inactive.
    QCOMPARE(f.window().session().settings().port, 1);
    QVERIFY(!f.window().session().port().isOpen());
    const QString message = f.window().StatusBar1()->currentMessage();
    QVERIFY2(message.startsWith(
                 QStringLiteral("Die Lichtschranken an COM1 konnten nicht geöffnet werden")),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
}

void TestFormMainSettings::cancelChangesNothing() {
    TimingWindowFixture f(adapter);
    openPortOne(f);
    const Settings before = f.window().session().settings();
    QSignalSpy closed(&f.window().session().port().comPort(), &TComPort::OnClose);
    throughDialog(
        f,
        [](TCfgDialog& d) {
            d.cbPort->setCurrentIndex(0);
            d.seTimer->setValue(0);
            d.seLen->setValue(0);
            d.rbResult1->setChecked(true);
        },
        false);
    QVERIFY(f.window().session().settings() == before);
    QCOMPARE(closed.count(), 0);
    QVERIFY(!f.window().header()->bTimer->isHidden());
    QVERIFY(!f.window().header()->bLAP->isHidden());
    // Escape closes it the same way.
    TCfgDialog* dialog = f.window().settingsCommand().dialog();
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->seTimer->setValue(0);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTest::keyClick(&f.window(), Qt::Key_F2);
    QVERIFY(f.window().session().settings() == before);
}

void TestFormMainSettings::okWithOneScreenKeepsTheTvScreen() {
    TimingWindowFixture f;
    // The projector of the last run is off: nothing to choose, and nothing is forgotten.
    QCOMPARE(QGuiApplication::screens().size(), 1);
    f.window().session().settings().monitor = 1;
    bool choosable = true;
    throughDialog(f, [&](TCfgDialog& d) { choosable = d.cbMonitor->isEnabled(); });
    QVERIFY(!choosable);
    QCOMPARE(f.window().session().settings().monitor, 1);
}

void TestFormMainSettings::logo_data() {
    QTest::addColumn<bool>("readable");
    QTest::addColumn<bool>("confirm");

    QTest::newRow("picture, then Abbrechen") << true << false;
    QTest::newRow("picture, then OK") << true << true;
    QTest::newRow("not a picture") << false << false;
}

void TestFormMainSettings::logo() {
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
        [&](TCfgDialog& d) {
            QTest::mouseClick(d.ButtonLogo, Qt::LeftButton);
            hint = d.ButtonLogo->toolTip();
        },
        confirm);
    const QString expected = readable ? path : QString();
    QCOMPARE(f.install().dialogs().openRequests.size(), 1);
    QCOMPARE(f.install().dialogs().openRequests.first().fileName, QStringLiteral("/old/logo.png"));
    QCOMPARE(hint, expected);
    QCOMPARE(f.window().session().settings().logo, expected);
    QVERIFY(reloads.count() >= 1);
}

void TestFormMainSettings::timeFormatReachesTheResults_data() {
    QTest::addColumn<bool>("seconds");
    QTest::addColumn<QString>("row");

    QTest::newRow("10,24") << true << "11 10,24 . . .";
    QTest::newRow("1024") << false << "11 1024 . . .";
}

void TestFormMainSettings::timeFormatReachesTheResults() {
    QFETCH(bool, seconds);
    QFETCH(QString, row);
    TimingWindowFixture f;
    f.addCompetitors(2);
    throughDialog(f, [&](TCfgDialog& d) {
        d.seTimer->setValue(0);
        (seconds ? d.rbResult1 : d.rbResult0)->setChecked(true);
    });
    QCOMPARE(f.window().session().settings().vidResult, seconds ? 1 : 0);
    QVERIFY(f.run({"F5", "+10240", "F8", "F9"}));
    QCOMPARE(f.heatRow(1), row);
}

void TestFormMainSettings::formatSwitchConvertsEnteredTimes_data() {
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

void TestFormMainSettings::formatSwitchConvertsEnteredTimes() {
    QFETCH(bool, toSeconds);
    QFETCH(bool, answer);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, question);
    TimingWindowFixture f;
    f.addCompetitors(2);
    chooseFormat(f, !toSeconds);
    TSortGrid& heats = f.window().session().competition().heatStartList();
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

QTEST_MAIN(TestFormMainSettings)
#include "tst_formmain_settings.moc"

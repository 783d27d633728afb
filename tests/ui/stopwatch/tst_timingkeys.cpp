#include "mock/TimingWindowFixture.h"
#include "platform/InputEventTime.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"
#include "ui/window/QuestionDialog.h"
#include "widgets/ColorButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The timing keys while the keyboard belongs to an open menu or a question: the keys that take
// times always act, entry and reset only when no question is open.
class TestTimingKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keysReachTheClock_data();
    void keysReachTheClock();
    void otherKeysStayWithTheMenu();
    void keyTakesTheMomentOfItsPress_data();
    void keyTakesTheMomentOfItsPress();
};

namespace {

// A timing key as the window system hands it over: stamped ageMs before now on the server's
// clock, delivered as a shortcut or, with a menu open, as a key press.
void pressStamped(TimingWindowFixture& f, Qt::Key key, int ageMs, QWidget* menu) {
    const quint64 stamp =
        static_cast<quint64>(InputEventTime::monotonicMicroseconds() / 1000 - ageMs);
    if (!menu) {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &f.window();
        qt_sendShortcutOverrideEvent(focus, stamp, key, Qt::NoModifier);
        return;
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    press.setTimestamp(stamp);
    QApplication::sendEvent(menu, &press);
}

void pressAll(QWidget* target, const QStringList& keys) {
    for (const QString& key : keys)
        QTest::keyClick(target, Qt::Key(Qt::Key_F1 + key.mid(1).toInt() - 1));
}

} // namespace

void TestTimingKeys::keysReachTheClock_data() {
    QTest::addColumn<QString>("holder");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("row1");
    const int ready = int(RunClock::State::Ready);
    const int running = int(RunClock::State::Running);
    const int stopped = int(RunClock::State::Stopped);
    const int countdown = int(RunClock::State::Countdown);
    QTest::newRow("menu: start") << "menu" << QStringList{} << QStringList{"F5"} << running
                                 << "11 . . . .";
    QTest::newRow("menu: countdown")
        << "menu" << QStringList{} << QStringList{"F4"} << countdown << "11 . . . .";
    QTest::newRow("menu: stop") << "menu" << QStringList{"F5", "+1000"} << QStringList{"F8"}
                                << stopped << "11 . . . .";
    QTest::newRow("menu: stop and enter") << "menu" << QStringList{"F5", "+1000"}
                                          << QStringList{"F8", "F9"} << ready << "11 200 . . .";
    QTest::newRow("menu: reset") << "menu" << QStringList{"F5", "+1000"} << QStringList{"F8", "F10"}
                                 << ready << "11 . . . .";
    QTest::newRow("question: start")
        << "question" << QStringList{} << QStringList{"F5"} << running << "11 . . . .";
    QTest::newRow("question: stop")
        << "question" << QStringList{"F5", "+1000"} << QStringList{"F8"} << stopped << "11 . . . .";
    QTest::newRow("question: no entry, no reset")
        << "question" << QStringList{"F5", "+1000"} << QStringList{"F8", "F9", "F10"} << stopped
        << "11 . . . .";
    QTest::newRow("question: a disabled command stays off")
        << "question" << QStringList{} << QStringList{"F8", "F6"} << ready << "11 . . . .";
}

void TestTimingKeys::keysReachTheClock() {
    QFETCH(QString, holder);
    QFETCH(QStringList, before);
    QFETCH(QStringList, keys);
    QFETCH(int, state);
    QFETCH(QString, row1);
    TimingWindowFixture f;
    f.addCompetitors(3);
    f.window().session().clock().setAutoEntry(false);
    QVERIFY(f.run(before));
    f.ticks().advanceMilliseconds(1000);
    if (holder == QStringLiteral("menu")) {
        QMenu* menu = f.window().actions().startListMenu;
        menu->popup(f.window().mapToGlobal(QPoint(10, 10)));
        QTRY_COMPARE(QApplication::activePopupWidget(), menu);
        pressAll(menu, keys);
        menu->close();
    } else {
        QuestionDialog dialog(QStringLiteral("Velmora"), &f.window());
        QTimer::singleShot(0, &dialog, [&] {
            pressAll(QApplication::focusWidget(), keys);
            dialog.noButton()->click();
        });
        QVERIFY(!dialog.ask(QStringLiteral("Beenden?")));
    }
    QCOMPARE(int(f.window().session().clock().state()), state);
    QCOMPARE(f.heatRow(1), row1);
}

void TestTimingKeys::otherKeysStayWithTheMenu() {
    // Alt+F4 and the arrows are the menu's; the filter takes only the plain timing keys.
    TimingWindowFixture f;
    QMenu* menu = f.window().actions().startListMenu;
    menu->popup(f.window().mapToGlobal(QPoint(10, 10)));
    QTRY_COMPARE(QApplication::activePopupWidget(), menu);
    QTest::keyClick(menu, Qt::Key_F5, Qt::ShiftModifier);
    QTest::keyClick(menu, Qt::Key_F2);
    QCOMPARE(f.window().session().clock().state(), RunClock::State::Ready);
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

void TestTimingKeys::keyTakesTheMomentOfItsPress_data() {
    QTest::addColumn<bool>("menuOpen");
    QTest::addColumn<bool>("buttonStarts");
    QTest::addColumn<int>("runMs");
    // F5 waited 400 ms for the window; the run is 1.4 s long, not 1 s.
    QTest::newRow("shortcut") << false << false << 1400;
    QTest::newRow("menu open") << true << false << 1400;
    // An F8 that did nothing leaves no stamp behind for the START button clicked after it.
    QTest::newRow("button after an unused key") << false << true << 1000;
}

void TestTimingKeys::keyTakesTheMomentOfItsPress() {
    QFETCH(bool, menuOpen);
    QFETCH(bool, buttonStarts);
    QFETCH(int, runMs);
    TimingWindowFixture f;
    f.addCompetitors(3);
    RunClock& clock = f.window().session().clock();
    clock.setAutoEntry(false);
    QMenu* menu = nullptr;
    if (menuOpen) {
        menu = f.window().actions().startListMenu;
        menu->popup(f.window().mapToGlobal(QPoint(10, 10)));
        QTRY_COMPARE(QApplication::activePopupWidget(), menu);
    }
    if (buttonStarts) {
        pressStamped(f, Qt::Key_F8, 400, menu);
        QTest::mouseClick(f.window().header()->startButton, Qt::LeftButton);
    } else {
        pressStamped(f, Qt::Key_F5, 400, menu);
    }
    QCOMPARE(clock.state(), RunClock::State::Running);
    f.ticks().advanceMilliseconds(1000);
    pressStamped(f, Qt::Key_F8, 0, menu);
    QCOMPARE(clock.state(), RunClock::State::Stopped);
    QVERIFY2(qAbs(clock.runTime() - runMs) <= 20, qPrintable(QString::number(clock.runTime())));
}

QTEST_MAIN(TestTimingKeys)
#include "tst_timingkeys.moc"

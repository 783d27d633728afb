#include "mock/TimingWindowFixture.h"

#include "competition/Competition.h"
#include "mock/SessionFixture.h"
#include "timing/ControlStates.h"
#include "timing/DisplayRow.h"
#include "timing/widgets/SegmentDigit.h"
#include "timing/widgets/TimePanel.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"
#include "widgets/ColorButton.h"

#include <QAction>
#include <QTest>

namespace {

QString colourName(const QColor& colour) {
    if (colour == ColorButton::faceColor())
        return QStringLiteral("face");
    switch (colour.rgb() & 0xFFFFFF) {
    case ControlStates::green:
        return QStringLiteral("green");
    case ControlStates::yellow:
        return QStringLiteral("yellow");
    case ControlStates::red:
        return QStringLiteral("red");
    case ControlStates::black:
        return QStringLiteral("black");
    case ControlStates::skyBlue:
        return QStringLiteral("skyblue");
    case ControlStates::orange:
        return QStringLiteral("orange");
    default:
        return colour.name();
    }
}

} // namespace

TimingWindowFixture::TimingWindowFixture(const QString& devicePath)
    : m_ticks(std::make_shared<FakeTickSource>(7'000'000)),
      m_serial(std::make_shared<FakeSerialSystem>(
          [ticks = m_ticks] { return ticks->nowMicroseconds(); })) {
    if (!devicePath.isEmpty())
        m_device = m_serial->addDevice(devicePath);
    TestEnvironment environment = m_install.environment(&m_answers);
    environment.setTickSource(m_ticks);
    environment.setSerialSystem(m_serial);
    m_window = std::make_unique<SessionWindow>(environment);
    m_window->show();
    // Without a window manager (Xvfb) nobody else gives the window the keyboard.
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("The window did not become active; its keys may go astray.");
}

TimingWindowFixture::~TimingWindowFixture() = default;

bool TimingWindowFixture::run(const QStringList& steps) {
    const HeaderBand& h = *m_window->header();
    for (const QString& step : steps) {
        if (step.startsWith(u'+')) {
            m_ticks->advanceMilliseconds(step.mid(1).toLongLong());
            QTest::qWait(30);
        } else if (step.startsWith(u'F')) {
            QTest::keyClick(m_window.get(), Qt::Key(Qt::Key_F1 + step.mid(1).toInt() - 1));
        } else if (const qsizetype colon = step.indexOf(u':'); colon > 0) {
            auto* button = h.findChild<ColorButton*>(step.mid(colon + 1));
            if (!button)
                return false;
            if (step.startsWith(QStringLiteral("press")))
                QTest::mousePress(button, Qt::LeftButton);
            else
                QTest::mouseClick(button, Qt::LeftButton);
        } else {
            return false;
        }
    }
    return true;
}

QString TimingWindowFixture::controls() {
    const HeaderBand& h = *m_window->header();
    const MainActions& a = m_window->actions();
    const std::pair<ColorButton*, QAction*> pairs[] = {{h.countdownButton, a.countdown},
                                                       {h.startButton, a.start},
                                                       {h.intermediateButton, a.intermediate},
                                                       {h.stopButton, a.stop},
                                                       {h.enterButton, a.enter},
                                                       {h.resetButton, a.reset}};
    QStringList parts;
    for (const auto& [button, action] : pairs) {
        QString state = button->isEnabled() ? colourName(button->color()) : QStringLiteral("-");
        if (!button->isEnabled() && button->color() != ColorButton::faceColor())
            state += colourName(button->color());
        if (action->isEnabled() != button->isEnabled())
            state += u'!';
        parts.append(button->text() + u' ' + state);
    }
    return parts.join(QStringLiteral(", ")) + QStringLiteral("; settings ") +
           (a.settings->isEnabled() ? QStringLiteral("on") : QStringLiteral("off")) +
           QStringLiteral(", clock ") +
           (m_window->session().clockRunning() ? QStringLiteral("on") : QStringLiteral("off"));
}

QString TimingWindowFixture::displayRow(DisplayRow row) {
    const TimePanel* panel = m_window->timingView().timePanel();
    QString text;
    for (int i = 0; i < 5; ++i) {
        if (i == 3)
            text += u',';
        text += QString::number(panel->digit(row, i)->value());
    }
    return text;
}

QColor TimingWindowFixture::upperColour() {
    return m_window->timingView().timePanel()->digit(DisplayRow::Upper, 4)->colorOn();
}

QString TimingWindowFixture::heatRow(int row) {
    const CompetitionTable& heat = m_window->session().competition().heatStartList();
    QStringList cells;
    for (int col : {0, 6, 7, 8, 9})
        cells.append(heat.cell(col, row).isEmpty() ? QStringLiteral(".") : heat.cell(col, row));
    return cells.join(u' ');
}

void TimingWindowFixture::addCompetitors(int count) {
    SessionFixture::addCompetitors(m_window->session().competition().heatStartList(), count);
}

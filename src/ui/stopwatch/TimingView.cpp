#include "ui/stopwatch/TimingView.h"

#include "session/RaceSession.h"
#include "settings/Settings.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"
#include "timing/widgets/TimePanel.h"
#include "ui/stopwatch/BarrierStatusNotices.h"
#include "ui/stopwatch/TimerStatusNotices.h"
#include "ui/stopwatch/TimingKeyFilter.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/PictureGlyphs.h"
#include "ui/window/StagePages.h"
#include "widgets/ColorButton.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>

namespace {

constexpr std::array<TimingButton, 6> AllButtons{TimingButton::Timer, TimingButton::Start,
                                                 TimingButton::Lap,   TimingButton::Stop,
                                                 TimingButton::Enter, TimingButton::Reset};
constexpr std::array<LightBarrier, 3> AllBarriers{LightBarrier::Start, LightBarrier::Intermediate,
                                                  LightBarrier::Stop};
constexpr int PictureSize = 30;
// How long the status bar shows a notice over its panels.
constexpr int NoticeMs = 30000;

} // namespace

TimingView::TimingView(MainWindow& window, RaceSession& session)
    : QObject(nullptr), m_window(window), m_session(session) {
    RunClock& clock = m_session.clock();
    // The timing keys come with the moment they were pressed.
    if (auto* keys = m_window.findChild<TimingKeyFilter*>())
        clock.setOperatorKeyAge([keys] { return keys->takeKeyAge(); });
    // The buttons start in the clock's states (the designed ones) until the settings arrive.
    applyControlStates(clock.controlStates());

    TimeDisplay& display = m_session.display();
    m_panel = new TimePanel(m_window.header()->timePanel);
    m_panel->setObjectName(QStringLiteral("TimeDigits"));
    m_panel->move(0, 0);
    m_panel->applyRow(DisplayRow::Upper, display.row(DisplayRow::Upper));
    m_panel->applyRow(DisplayRow::Lower, display.row(DisplayRow::Lower));
    connect(&display, &TimeDisplay::rowChanged, m_panel, &TimePanel::applyRow);

    connectClock();
    connectBarriers();
}

TimingView::~TimingView() {
    // The key filter goes with the window; the clock stays with the session.
    m_session.clock().setOperatorKeyAge({});
}

void TimingView::connectClock() {
    RunClock* clock = &m_session.clock();
    connect(clock, &RunClock::controlStatesChanged, this, &TimingView::applyControlStates);
    // The button of the command that comes next takes the focus, so Space gives it.
    connect(clock, &RunClock::nextCommandChanged, this, &TimingView::focusButton);

    QCheckBox* automatic = m_window.header()->autoEntryBox;
    connect(clock, &RunClock::autoEntryChanged, automatic, &QCheckBox::setChecked);
    connect(automatic, &QCheckBox::toggled, this, [this](bool on) {
        m_session.clock().setAutoEntry(on);
        m_session.settings().autoReset = on;
    });
}

void TimingView::connectBarriers() {
    BarrierLogic* barriers = &m_session.barriers();
    connect(barriers, &BarrierLogic::pictureChanged, this, &TimingView::showPicture);
    connect(barriers, &BarrierLogic::imageVisibleChanged, this,
            [this](LightBarrier barrier, bool visible) { image(barrier)->setVisible(visible); });
    connect(barriers, &BarrierLogic::lockCommandsEnabledChanged, this, [this](bool enabled) {
        m_window.actions().lockStartBarrier->setEnabled(enabled);
        m_window.actions().lockStopBarrier->setEnabled(enabled);
    });
    for (LightBarrier barrier : AllBarriers)
        image(barrier)->installEventFilter(this);
    // Told once; "Info..." keeps showing it.
    connect(
        &m_session.port(), &LightBarrierPort::realtimeUnavailable, this,
        [this](const QString& notice) { m_window.mainStatusBar()->showMessage(notice, NoticeMs); });
    new BarrierStatusNotices(m_session.port(), *m_window.mainStatusBar(), this);
    new TimerStatusNotices(m_session.timer(), m_session.scoreboard(), *m_window.mainStatusBar(),
                           this);
}

void TimingView::startUp() {
    // The clock reports only changes; the buttons may still show their designed states.
    applyControlStates(m_session.clock().controlStates());
    m_window.header()->autoEntryBox->setChecked(m_session.clock().autoEntry());
}

void TimingView::showBarrierPictures() {
    const BarrierLogic& barriers = m_session.barriers();
    for (LightBarrier barrier : AllBarriers)
        showPicture(barrier, barriers.picture(barrier));
    // The port the settings name was opened before the window was there to show it.
    for (LightBarrier barrier : AllBarriers) {
        if (barriers.isImageVisible(barrier))
            image(barrier)->setVisible(true);
    }
    if (barriers.lockCommandsEnabled()) {
        m_window.actions().lockStartBarrier->setEnabled(true);
        m_window.actions().lockStopBarrier->setEnabled(true);
    }
}

void TimingView::applyControlStates(const ControlStates& states) {
    const QColor face = ColorButton::faceColor();
    for (TimingButton which : AllButtons) {
        const ControlStates::Button& state = states.button(which);
        const QColor colour = state.colour ? QColor::fromRgb(QRgb(*state.colour)) : face;
        m_window.setTimingButtonState(button(which), state.enabled, colour);
    }
    // A hidden button keeps its command: F4 and F6 still reach the clock.
    button(TimingButton::Timer)->setVisible(states.timerVisible);
    button(TimingButton::Lap)->setVisible(states.lapVisible);
    m_window.actions().settings->setEnabled(states.settingsEnabled);
}

void TimingView::focusButton(TimingButton which) {
    ColorButton* target = button(which);
    if (!target->isHidden() && target->isEnabled())
        target->setFocus();
}

void TimingView::showPicture(LightBarrier barrier, int picture) {
    const auto glyph = picture == BarrierLogic::freePicture ? PictureGlyphs::Glyph::BarrierFree
                                                            : PictureGlyphs::Glyph::BarrierBlocked;
    image(barrier)->setPixmap(PictureGlyphs::pixmap(glyph, PictureSize));
}

bool TimingView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        for (LightBarrier barrier : AllBarriers) {
            QLabel* target = image(barrier);
            if (watched == target && mouse->button() == Qt::LeftButton &&
                target->rect().contains(mouse->position().toPoint())) {
                m_session.barriers().barrierPictureClicked(barrier);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

ColorButton* TimingView::button(TimingButton which) const {
    const HeaderBand& h = *m_window.header();
    switch (which) {
    case TimingButton::Timer:
        return h.countdownButton;
    case TimingButton::Start:
        return h.startButton;
    case TimingButton::Lap:
        return h.intermediateButton;
    case TimingButton::Stop:
        return h.stopButton;
    case TimingButton::Enter:
        return h.enterButton;
    case TimingButton::Reset:
        break;
    }
    return h.resetButton;
}

QLabel* TimingView::image(LightBarrier barrier) const {
    const HeaderBand& h = *m_window.header();
    switch (barrier) {
    case LightBarrier::Start:
        return h.startBarrierPicture;
    case LightBarrier::Intermediate:
        return h.intermediateBarrierPicture;
    case LightBarrier::Stop:
        break;
    }
    return h.stopBarrierPicture;
}

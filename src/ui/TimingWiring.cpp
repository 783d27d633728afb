#include "ui/TimingWiring.h"

#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "settings/Settings.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"
#include "timing/widgets/TimePanel.h"
#include "ui/BarrierStatusNotices.h"
#include "ui/HeaderBand.h"
#include "ui/MainActions.h"
#include "ui/MainStatusBar.h"
#include "ui/PictureGlyphs.h"
#include "ui/TFormMain.h"
#include "ui/TPageControl.h"
#include "ui/TimingKeyFilter.h"
#include "widgets/TBitBtnWithColor.h"

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

TimingWiring::TimingWiring(TFormMain& window, std::shared_ptr<const TickSource> ticks,
                           std::shared_ptr<SerialSystem> serialSystem)
    : QObject(nullptr), m_window(window),
      m_ticks(ticks ? std::move(ticks) : std::make_shared<MonotonicTickSource>()) {
    m_clock = new RunClock(*m_ticks, this);
    // The timing keys come with the moment they were pressed.
    if (auto* keys = m_window.findChild<TimingKeyFilter*>())
        m_clock->setOperatorKeyAge([keys] { return keys->takeKeyAge(); });
    m_display = new TimeDisplay(*m_clock, this);
    m_barriers = new BarrierLogic(*m_clock, this);
    m_port = std::make_unique<LightBarrierPort>(*m_barriers, std::move(serialSystem), m_ticks);
    // The buttons start in the clock's states (the designed ones) until the settings arrive.
    applyControlStates(m_clock->controlStates());

    m_panel = new TimePanel(m_window.header()->TimePanel);
    m_panel->setObjectName(QStringLiteral("TimeDigits"));
    m_panel->move(0, 0);
    m_panel->applyRow(DisplayRow::Upper, m_display->row(DisplayRow::Upper));
    m_panel->applyRow(DisplayRow::Lower, m_display->row(DisplayRow::Lower));
    connect(m_display, &TimeDisplay::rowChanged, m_panel, &TimePanel::applyRow);

    connectClock();
    connectBarriers();
}

TimingWiring::~TimingWiring() {
    // While the barriers and the pictures are still there to hear about it.
    m_port->close();
}

void TimingWiring::connectClock() {
    connect(m_clock, &RunClock::controlStatesChanged, this, &TimingWiring::applyControlStates);
    connect(m_clock, &RunClock::focusRequested, this, &TimingWiring::focusButton);
    connect(m_clock, &RunClock::tvUpdateRequested, &m_window, &TFormMain::UpdateTvWindows);
    connect(m_clock, &RunClock::actionStatesUpdateRequested, &m_window,
            &TFormMain::UpdateActionStates);
    connect(m_clock, &RunClock::competitorCaptureRequested, this, &TimingWiring::captureCompetitor);
    connect(m_clock, &RunClock::enterResultRequested, this, &TimingWiring::enterResult);
    // A new protocol has no best time yet; the lower display row goes back to zero.
    connect(&m_window, &TFormMain::newProtocolStarted, m_clock, &RunClock::clearBestTime);

    QCheckBox* automatic = m_window.header()->cbAutomatisch;
    connect(m_clock, &RunClock::autoEntryChanged, automatic, &QCheckBox::setChecked);
    connect(automatic, &QCheckBox::toggled, this, [this](bool on) {
        m_clock->setAutoEntry(on);
        m_window.settings().autoReset = on;
    });
}

void TimingWiring::connectBarriers() {
    connect(m_barriers, &BarrierLogic::pictureChanged, this, &TimingWiring::showPicture);
    connect(m_barriers, &BarrierLogic::imageVisibleChanged, this,
            [this](LightBarrier barrier, bool visible) { image(barrier)->setVisible(visible); });
    connect(m_barriers, &BarrierLogic::lockCommandsEnabledChanged, this, [this](bool enabled) {
        m_window.actions().LockLS1->setEnabled(enabled);
        m_window.actions().LockLS2->setEnabled(enabled);
    });
    for (LightBarrier barrier : AllBarriers)
        image(barrier)->installEventFilter(this);
    // Told once; "Info..." keeps showing it.
    connect(
        m_port.get(), &LightBarrierPort::realtimeUnavailable, this,
        [this](const QString& notice) { m_window.StatusBar1()->showMessage(notice, NoticeMs); });
    new BarrierStatusNotices(*m_port, *m_window.StatusBar1(), this);
}

TimingSettings TimingWiring::timingSettings(const Settings& settings) {
    TimingSettings timing;
    timing.timerMs = settings.timer;
    timing.lengthMetres = settings.len;
    timing.lockTimeMs = settings.lockTime;
    timing.waitStartMs = settings.waitStart;
    timing.alg = settings.alg;
    timing.autoReset = settings.autoReset;
    timing.backupLine = settings.backupLine;
    timing.backupLockTimeMs = settings.backupLockTime;
    timing.stuckLimitMs = settings.stuckLimit;
    return timing;
}

void TimingWiring::startUp(const Settings& settings) {
    const TimingSettings timing = timingSettings(settings);
    m_barriers->applySettings(timing);
    m_clock->startUp(timing);
    // The clock reports only changes; the buttons may still show their designed states.
    applyControlStates(m_clock->controlStates());
}

void TimingWiring::showInitialTimes() {
    m_clock->clearBestTime();
    m_display->ShowTime(DisplayRow::Upper, 0);
}

void TimingWiring::showBarrierPictures() {
    for (LightBarrier barrier : AllBarriers)
        showPicture(barrier, m_barriers->picture(barrier));
}

void TimingWiring::applyControlStates(const ControlStates& states) {
    const QColor face = TBitBtnWithColor::faceColor();
    for (TimingButton which : AllButtons) {
        const ControlStates::Button& state = states.button(which);
        const QColor colour = state.colour ? QColor::fromRgb(QRgb(*state.colour)) : face;
        m_window.setTimingButtonState(button(which), state.enabled, colour);
    }
    // A hidden button keeps its command: F4 and F6 still reach the clock.
    button(TimingButton::Timer)->setVisible(states.timerVisible);
    button(TimingButton::Lap)->setVisible(states.lapVisible);
    m_window.actions().mCFG->setEnabled(states.settingsEnabled);
    m_window.setClockRunning(states.clockRunning);
}

void TimingWiring::focusButton(TimingButton which) {
    TBitBtnWithColor* target = button(which);
    if (!target->isHidden() && target->isEnabled())
        target->setFocus();
}

void TimingWiring::captureCompetitor() {
    const int page = activePage();
    if (page != 0 && page != 2)
        return;
    // The final start list begins with the same four columns as the heat start list. An empty
    // list gives empty texts; the run starts all the same.
    const TSortGrid& list = m_window.competition().stageTable(page);
    const int row = list.Row();
    m_window.setCurrentCompetitor(
        list.cell(0, row) + u' ' + list.cell(1, row) + u' ' + list.cell(2, row), list.cell(3, row));
}

void TimingWiring::enterResult(qint32 runTimeMs) {
    const int page = activePage();
    Competition& competition = m_window.competition();
    ResultEntry::EnterRunTime(competition, page, runTimeMs);
    const int before = ResultEntry::targetTable(competition, page).Row();
    // A changed selection runs the selected-row steps through the table's own signal.
    if (ResultEntry::selectNextRow(competition, page) == before)
        Q_EMIT selectedRowStepsRequested(page < 2 ? 0 : 2);
}

void TimingWiring::showPicture(LightBarrier barrier, int picture) {
    const auto glyph = picture == BarrierLogic::freePicture ? PictureGlyphs::Glyph::BarrierFree
                                                            : PictureGlyphs::Glyph::BarrierBlocked;
    image(barrier)->setPixmap(PictureGlyphs::pixmap(glyph, PictureSize));
}

bool TimingWiring::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        for (LightBarrier barrier : AllBarriers) {
            QLabel* target = image(barrier);
            if (watched == target && mouse->button() == Qt::LeftButton &&
                target->rect().contains(mouse->position().toPoint())) {
                m_barriers->ImageLSClick(barrier);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

TBitBtnWithColor* TimingWiring::button(TimingButton which) const {
    const HeaderBand& h = *m_window.header();
    switch (which) {
    case TimingButton::Timer:
        return h.bTimer;
    case TimingButton::Start:
        return h.bSTART;
    case TimingButton::Lap:
        return h.bLAP;
    case TimingButton::Stop:
        return h.bSTOP;
    case TimingButton::Enter:
        return h.bEintragen;
    case TimingButton::Reset:
        break;
    }
    return h.bRESET;
}

QLabel* TimingWiring::image(LightBarrier barrier) const {
    const HeaderBand& h = *m_window.header();
    switch (barrier) {
    case LightBarrier::Start:
        return h.ImageLSstart;
    case LightBarrier::Intermediate:
        return h.ImageLSlap;
    case LightBarrier::Stop:
        break;
    }
    return h.ImageLSstop;
}

int TimingWiring::activePage() const {
    return qMax(0, m_window.PageControl1()->currentIndex());
}

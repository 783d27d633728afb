#include "tv/widgets/TvWindows.h"

#include "competition/ClassTop3.h"
#include "competition/Competition.h"
#include "competition/RunState.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"
#include "tv/TvTexts.h"
#include "tv/widgets/TvBestTeamWindow.h"
#include "tv/widgets/TvTimeWindow.h"
#include "tv/widgets/TvTop3Window.h"
#include "tv/widgets/TvVideoWindow.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int NoticeMs = 30000;

} // namespace

TvWindows::TvWindows(TvInputs inputs, QWidget& operatorWindow)
    : QObject(&operatorWindow), m_in(std::move(inputs)), m_operator(operatorWindow) {
    setObjectName(QStringLiteral("TvWindows"));
    // A release changes no table, but the TOP3 window tells it.
    connect(&m_in.competition, &Competition::releaseChanged, this, &TvWindows::updateTvWindows);
    m_timeRelayout = new QTimer(this);
    m_timeRelayout->setSingleShot(true);
    m_timeRelayout->setInterval(ZeitRelayoutMs);
    connect(m_timeRelayout, &QTimer::timeout, this, [this] { placeWindow(2); });

    const QRect bounds = screenBounds();
    m_video = new TvVideoWindow;
    m_time = new TvTimeWindow;
    m_top3 = new TvTop3Window;
    m_team = new TvBestTeamWindow;
    for (int mode = 1; mode <= 4; ++mode) {
        TvWindow* w = window(mode);
        w->setScreenIndex(screenIndex());
        w->takeBounds(bounds);
        w->layoutWindow();
        connect(w, &TvWindow::offRequested, this, &TvWindows::switchOff);
        placeWindow(mode);
    }
    connectDisplay();
    // A vanished screen must not keep a shown window, and a screen that comes is where the
    // windows go; the list is settled after the signal.
    auto replace = [this] {
        QTimer::singleShot(0, this, &TvWindows::placeTvWindows);
    };
    connect(qApp, &QGuiApplication::screenAdded, this, replace);
    connect(qApp, &QGuiApplication::screenRemoved, this, replace);
    updateTvWindows();
}

TvWindows::~TvWindows() {
    for (int mode = 1; mode <= 4; ++mode)
        delete window(mode);
}

void TvWindows::connectDisplay() {
    const TimeDisplay& display = m_in.display;
    const RunClock& clock = m_in.clock;
    m_time->applyRow(DisplayRow::Upper, display.row(DisplayRow::Upper));
    m_time->applyRow(DisplayRow::Lower, display.row(DisplayRow::Lower));
    connect(&display, &TimeDisplay::rowChanged, m_time, &TvTimeWindow::applyRow);
    // A countdown is no run time: the next competitor stands on "Video" without a time until
    // the new run gives one, rather than beside the time of the run before.
    QString shown;
    if (!clock.countdownActive()) {
        qint32 hundredths = 0;
        for (const DisplayRowState::Digit& d : display.row(DisplayRow::Upper).digits)
            hundredths = hundredths * 10 + d.value;
        shown = m_in.competition.timeFormat().formatTime(hundredths);
    }
    m_video->setCurrentTime(shown);
    connect(&display, &TimeDisplay::rowChanged, this, [this, &clock](DisplayRow row) {
        // The countdown shown by the reset after "Nicht im Ziel" is not yet the next run.
        if (row == DisplayRow::Upper && clock.countdownActive() && !m_videoHoldsState)
            m_video->setCurrentTime(QString());
    });
    connect(&clock, &RunClock::stateChanged, this, [this](RunClock::State state) {
        if (state == RunClock::State::Countdown || state == RunClock::State::Running)
            m_videoHoldsState = false;
        if (state == RunClock::State::Countdown)
            m_video->setCurrentTime(QString());
    });
    connect(&display, &TimeDisplay::currentTimeShown, this, [this](qint32 hundredths) {
        if (m_videoHoldsState && hundredths == 0)
            return;
        m_videoHoldsState = false;
        m_video->setCurrentTime(m_in.competition.timeFormat().formatTime(hundredths));
    });
    connect(&clock, &RunClock::runNotFinished, this, [this] {
        m_videoHoldsState = true;
        m_video->setCurrentTime(RunState::text(RunState::DNF));
    });
}

TvWindow* TvWindows::window(int mode) const {
    switch (mode) {
    case 1:
        return m_video;
    case 2:
        return m_time;
    case 3:
        return m_top3;
    case 4:
        return m_team;
    default:
        return nullptr;
    }
}

int TvWindows::screenIndex() const {
    const int stored = m_in.monitor;
    const auto count = QGuiApplication::screens().size();
    return stored >= 0 && stored < count ? stored : 0;
}

bool TvWindows::separateScreenAvailable() const {
    return QGuiApplication::screens().size() >= 2 && screenIndex() >= 1;
}

QRect TvWindows::screenBounds() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return QRect(0, 0, 640, 480);
    return screens.at(screenIndex())->geometry();
}

void TvWindows::showMode(int mode, QAction* entry) {
    m_mode = mode;
    m_entry = entry;
    m_comesBack = nullptr;
    m_timeRelayout->stop();
    for (int m = 1; m <= 4; ++m)
        window(m)->hide();
    TvWindow* shown = window(mode);
    const bool separate = separateScreenAvailable();
    m_shownSeparate = separate;
    if (shown) {
        // On a separate screen the window must not take the operator's keys.
        shown->setAttribute(Qt::WA_ShowWithoutActivating, separate);
        shown->setWindowFlag(Qt::WindowDoesNotAcceptFocus, separate);
        if (mode == 2 || mode == 4)
            reloadLogo();
        placeWindow(mode);
        shown->winId();
        if (QWindow* handle = shown->windowHandle())
            handle->setScreen(QGuiApplication::screens().value(screenIndex()));
        shown->show();
        // A window manager may place a new window where it likes; the screen's bounds win.
        shown->setGeometry(screenBounds());
        if (mode == 2)
            m_timeRelayout->start();
        if (!separate) {
            shown->raise();
            shown->activateWindow();
        }
    }
    Q_EMIT audienceWindowShown(shown != nullptr);
    if (screenIndex() > 0)
        m_operator.activateWindow();
}

void TvWindows::switchOff() {
    Q_EMIT offRequested();
}

void TvWindows::placeWindow(int mode) {
    TvWindow* w = window(mode);
    if (!w)
        return;
    w->setScreenIndex(screenIndex());
    const bool separate = separateScreenAvailable();
    // A window shown on a screen that went away must move even where the rule keeps it.
    if (!separate && w->isVisible())
        w->takeBounds(screenBounds());
    w->placeTvWindow(screenBounds(), separate, m_mode == mode);
}

void TvWindows::placeTvWindows() {
    const bool separate = separateScreenAvailable();
    QPointer<QAction> comesBack;
    if (m_mode > 0 && m_shownSeparate && !separate) {
        // The audience screen is gone (unplugged, or the settings chose the operator's own):
        // a window there now would cover the operator's screen without taking the keys.
        const int screen = m_in.monitor;
        const bool unplugged = screen >= QGuiApplication::screens().size();
        const QPointer<QAction> entry = m_entry;
        switchOff();
        if (unplugged)
            m_comesBack = entry;
        tell(unplugged ? QStringLiteral("TV-Modus aus: Bildschirm %1 ist nicht mehr angeschlossen")
                             .arg(screen + 1)
                       : QStringLiteral("TV-Modus aus: Der TV-Bildschirm ist jetzt der "
                                        "Bildschirm der Bedienung"));
    } else if (m_mode == 0 && m_comesBack && separate) {
        comesBack = m_comesBack;
        m_comesBack = nullptr;
    }
    for (int mode = 1; mode <= 4; ++mode)
        placeWindow(mode);
    if (comesBack) {
        // The projector is back: the audience sees again what it saw.
        comesBack->trigger();
        tell(QStringLiteral("Bildschirm %1 ist wieder angeschlossen: TV-Modus wieder an")
                 .arg(m_in.monitor + 1));
    } else if (m_mode > 0 && separate && !m_shownSeparate) {
        // Shown on the operator's screen until the audience screen came: it goes there, and
        // the keys go back to the main window.
        showMode(m_mode, m_entry);
    }
}

void TvWindows::tell(const QString& why) {
    Q_EMIT notice(why, NoticeMs);
}

void TvWindows::reloadLogo() {
    QString& path = m_in.logo;
    const bool timeLoaded = m_time->loadLogo(path);
    const bool teamLoaded = m_team->loadLogo(path);
    if (!timeLoaded || !teamLoaded)
        path.clear();
}

void TvWindows::updateTvWindows() {
    const AudienceText text = m_in.text();
    const QString& title = text.title;
    const Competition& c = m_in.competition;
    const auto intermediate = m_in.clock.intermediateTime();
    m_video->setContent(title, TvTexts::videoCompetitor(text.competitor),
                        TvTexts::intermediateCaption(intermediate),
                        TvTexts::intermediateTime(intermediate, c.timeFormat()));
    m_time->setContent(title, text.competitor, text.club);
    m_top3->setContent(title, ClassTop3::collect(c.finalResults()));
    m_top3->setReleaseWord(c.release().stateWord(c.heatStartList()));
    m_team->setContent(title, TvTexts::bestTeam(c.teams(), c.timeFormat()));
}

#include "ui/window/MainWindowPlacer.h"

#include "ui/window/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int PollIntervalMs = 20;
// A window manager frames a new window within a fraction of a second, on a busy machine within
// seconds; without one (or with one that draws no frame) none comes, and the placement made
// without it is already right. Later the window's own events still tell when it comes.
constexpr int FrameWaitMs = 15000;

QSize sizeOf(const QMargins& margins) {
    return QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QRect primaryWorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QList<QRect> allWorkAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

QRect workAreaAround(const QRect& frame) {
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    return screen ? screen->availableGeometry() : primaryWorkArea();
}

} // namespace

MainWindowPlacer::MainWindowPlacer(QWidget& window) : QObject(&window), m_window(window) {
    m_poll.setInterval(PollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &MainWindowPlacer::lookForFrame);
    window.installEventFilter(this);
}

void MainWindowPlacer::placeDefault() {
    m_stored = false;
    place();
}

void MainWindowPlacer::settingsLoaded() {
    if (movedByOthers()) {
        m_stored = true;
        place();
    }
}

bool MainWindowPlacer::movedByOthers() const {
    return QRect(m_window.pos(), m_window.size()) != m_placed;
}

bool MainWindowPlacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_window || m_frameKnown)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        m_sinceShown.start();
        m_poll.start();
        lookForFrame();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        if (m_window.isVisible())
            lookForFrame();
        break;
    default:
        break;
    }
    return false;
}

void MainWindowPlacer::lookForFrame() {
    const QWindow* handle = m_window.windowHandle();
    const QMargins margins = handle ? handle->frameMargins() : QMargins();
    if (margins.isNull()) {
        if (!m_sinceShown.isValid() || m_sinceShown.elapsed() > FrameWaitMs)
            m_poll.stop();
        return;
    }
    m_poll.stop();
    m_frameKnown = true;
    m_margins = margins;
    // A size or place given since (the stored one, or the window's own) is kept as such.
    if (movedByOthers())
        m_stored = true;
    place();
}

void MainWindowPlacer::place() {
    const QSize around = sizeOf(m_margins);
    const QRect frame =
        m_stored ? WindowPlacement::keptOnScreen(QRect(m_window.pos(), m_window.size() + around),
                                                 allWorkAreas(), primaryWorkArea())
                 : WindowPlacement::defaultPlacement(primaryWorkArea());
    // The minimum first, or it would hold the window larger than its screen.
    const QSize minimum = WindowPlacement::minimumOuterSize(
        (m_margins.left() + m_margins.right()) / 2, workAreaAround(frame).size());
    m_window.setMinimumSize((minimum - around).expandedTo(QSize(0, 0)));
    m_window.resize(frame.size() - around);
    m_window.move(frame.topLeft());
    m_placed = QRect(m_window.pos(), m_window.size());
}

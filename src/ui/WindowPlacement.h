#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Where the main window opens when no placement was stored or the stored one is off every
// screen, how small it may get, and which screen index is valid.
namespace WindowPlacement {

constexpr int DesignedWidth = 720;
constexpr int DesignedMinimumWidth = 711;
constexpr int MinimumHeight = 480;

// Top of the work area, centred horizontally (truncated toward zero), full work-area height.
QRect defaultPlacement(const QRect& workArea, int width = DesignedWidth);

// Smallest outer size: the designed minimum width plus both sizing frames, 480 high.
QSize minimumOuterSize(int sizingFrameWidth);

// How much of the window's top strip (where its title bar is) must be on one screen for the
// operator to reach it.
constexpr int VisibleStripWidth = 100;
constexpr int VisibleStripHeight = 15;

// The stored bounds when the top strip of the window is on one of the screens far enough to
// grab it; otherwise the default placement on the work area, with the stored size as far as it
// fits there.
QRect onPresentScreens(const QRect& stored, const QList<QRect>& screens, const QRect& workArea);

// The screen index bounded to the screens present (0-based); 0 when there is none.
int screenIndexInRange(int index, int screenCount);

} // namespace WindowPlacement

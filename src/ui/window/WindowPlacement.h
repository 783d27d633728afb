#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>

// Where the main window opens and how small it may get, as outer frame rectangles (the window
// manager's frame counts, so the status bar and the last rows end on the work area); where a
// stored placement may be shown, and which screen index is valid.
namespace WindowPlacement {

constexpr int DesignedWidth = 720;
constexpr int DesignedMinimumWidth = 711;
constexpr int MinimumHeight = 480;

// The outer frame on the first start: top of the work area, centred horizontally (truncated
// toward zero), the full work-area height, and never wider than the work area.
QRect defaultPlacement(const QRect& workArea, int width = DesignedWidth);

// Smallest outer size: the designed minimum width plus both sizing frames, 480 high; a work
// area smaller than that wins, so the window can always be made to fit its screen.
QSize minimumOuterSize(int sizingFrameWidth, const QSize& workArea = QSize());

// The client rectangle inside an outer frame, and the frame around a client rectangle.
QRect clientRect(const QRect& frame, const QMargins& frameMargins);
QRect frameRect(const QRect& client, const QMargins& frameMargins);

// A stored outer frame as it may be shown: unchanged while it lies wholly on the work areas;
// otherwise shrunk to the work area it overlaps most (the fallback when it overlaps none, a
// screen that is gone) and moved onto it.
QRect keptOnScreen(const QRect& frame, const QList<QRect>& workAreas, const QRect& fallback);

// How much of the window's top strip (where its title bar is) must be on one screen for the
// operator to reach it.
constexpr int VisibleStripWidth = 100;
constexpr int VisibleStripHeight = 15;

// The stored bounds when the top strip of the window is on one of the screens far enough to
// grab it; otherwise the default placement on the work area, with the stored size as far as it
// fits there.
QRect onPresentScreens(const QRect& stored, const QList<QRect>& screens, const QRect& workArea);

} // namespace WindowPlacement

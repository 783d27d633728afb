#pragma once

#include <QRect>
#include <QSize>

// Where the main window opens when no placement was stored, and how small it may get.
namespace WindowPlacement {

constexpr int DesignedWidth = 720;
constexpr int DesignedMinimumWidth = 711;
constexpr int MinimumHeight = 480;

// Top of the work area, centred horizontally (truncated toward zero), full work-area height.
QRect defaultPlacement(const QRect& workArea, int width = DesignedWidth);

// Smallest outer size: the designed minimum width plus both sizing frames, 480 high.
QSize minimumOuterSize(int sizingFrameWidth);

} // namespace WindowPlacement

#pragma once

#include <QtGlobal>

// The size of a page in device pixels and how a length in screen pixels grows on that device.
// A table is laid out in screen pixels; on paper each length is multiplied by a whole factor,
// the printer's dots per inch divided by the screen's pixels per inch, so every page of a
// printout holds exactly the rows and columns of the same page in the preview.
struct PageGeometry {
    int pageWidth = 0;
    int pageHeight = 0;
    int factorX = 1;
    int factorY = 1;

    // The factors are whole divisions done before any multiplication; a device coarser than
    // the screen still counts as 1, so no length ever shrinks to nothing.
    static PageGeometry forDevice(int width, int height, int dpiX, int dpiY, int screenDpi);

    // The same page in screen pixels, as the preview shows it: sizes divided by the factors,
    // lengths no longer converted.
    PageGeometry preview() const;

    // Lengths beyond the int range (an absurd column width) stop at its ends, so sums of them
    // still compare correctly instead of wrapping around.
    int deviceX(qint64 v) const { return saturated(v * factorX); }
    int deviceY(qint64 v) const { return saturated(v * factorY); }
    static int saturated(qint64 v);

    bool operator==(const PageGeometry&) const = default;
};

#pragma once

#include "print/PageGeometry.h"
#include "print/PrintPage.h"
#include "print/PrintableTable.h"

#include <functional>

class QPainter;

// Draws the pages of a table on any paint device (printer, PDF, image): title, header row,
// bordered cells and the page label, at the places the shared page layout gives. States are
// drawn in their screen colours, substitute times with a raised "E" and the legend at the foot.
class GridPageRenderer {
public:
    enum class Mode { Printing, Preview, Counting };

    // Starts the next sheet of a paged device (printer, PDF).
    using NewPage = std::function<void()>;

    // Renders rows firstRow..lastRow and returns the number of pages. Printing draws every page,
    // calling newPage between them; Preview fills the page white and draws only page
    // previewPage (nothing more when there is no such page); Counting draws nothing.
    // `geometry` is the device's own page; the preview scales it down to screen pixels.
    static int renderPages(const PrintableTable& table, QPainter* painter, const NewPage& newPage,
                           const PageGeometry& geometry, Mode mode, int firstRow, int lastRow,
                           int previewPage = 1);

    // One page as it appears on a device with this geometry.
    static void drawPage(const PrintableTable& table, QPainter& painter,
                         const PageGeometry& geometry, const PrintPage& page);

    // The grid's font at 12 point, bold: title and page label.
    static QFont pageFont(const QFont& gridFont);
    // The raised mark after a substitute time: the grid's font, smaller.
    static QFont markFont(const QFont& gridFont);
    // Text width as the screen measures it, for positions that are converted like lengths.
    static int screenWidth(const QFont& font, const QString& text, int screenDpi);

private:
    static bool showsSubstitute(const PrintableTable& table, const PrintPage& page);
    static void drawRow(const PrintableTable& table, QPainter& painter, const PageGeometry& g,
                        const PrintPage& page, int row, int top);
};

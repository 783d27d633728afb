#pragma once

#include "print/PageLayout.h"

#include <QFont>
#include <QString>
#include <Qt>
#include <functional>

class TSortGrid;

// Everything the page renderer needs from a shown table: its cells, its layout in screen
// pixels, its font and the horizontal alignment of each cell.
struct PrintableTable {
    const TSortGrid* grid = nullptr;
    PageLayout layout{{}, {}};
    QFont font;
    std::function<Qt::Alignment(int col, int row)> alignment;
    QString pageTitle;
    int screenDpi = 96;
};

#pragma once

#include "competition/CellPresentation.h"
#include "print/PageLayout.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <Qt>

// Everything the page renderer needs from a shown table, copied from it: its cells, its layout
// in screen pixels, its font, the horizontal alignment of its columns and the data cells marked
// as a state or a substitute time. Being a copy, it can be printed on another thread while the
// table goes on changing.
struct PrintableTable {
    QList<QStringList> rows; // header row first
    PageLayout layout{{}, {}};
    QFont font;
    QList<Qt::Alignment> alignments; // of the data rows, per column; the header row is left
    QString pageTitle;
    QString releaseText; // "Ergebnisse vorläufig" or "offiziell", top left on every page
    int screenDpi = 96;
    QHash<QPoint, CellPresentation::Mark> marks; // (col, row); unmarked cells are left out

    const QString& cell(int col, int row) const {
        static const QString none;
        if (row < 0 || row >= rows.size() || col < 0 || col >= rows.at(row).size())
            return none;
        return rows.at(row).at(col);
    }
    Qt::Alignment alignment(int col, int row) const {
        return row > 0 ? alignments.value(col, Qt::AlignLeft) : Qt::AlignLeft;
    }
    CellPresentation::Mark mark(int col, int row) const {
        return marks.value(QPoint(col, row), CellPresentation::Mark::None);
    }
};

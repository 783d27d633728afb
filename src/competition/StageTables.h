#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>

// The fixed shape of the five competition tables: captions, widths and alignment per column.
namespace StageTables {

enum Tag { HeatStartList = 1, HeatResults = 2, FinalStartList = 3, FinalResults = 4, Teams = 5 };

// Width kinds: a fixed pixel width, hidden (width -1), or a share of the remaining width.
struct ColumnSpec {
    QString caption;
    int fixedWidth = 0;   // > 0 fixed, -1 hidden, 0 shared
    int sharePercent = 0; // 40, 30 or 30 for the name columns
    Qt::Alignment alignment = Qt::AlignLeft;
};

QList<ColumnSpec> columns(int tag);
int columnCount(int tag);
QStringList defaultCaptions(int tag);

// Page captions in page order 0 to 3, with their six leading blanks.
QStringList pageCaptions();

// Widths for a table of the given tag in a view of clientWidth pixels: the fixed widths,
// hidden columns -1, and the rest (less one grid-line pixel per column) split 40/30/30. A fixed
// column grows to its entry in needed (the width its widest text takes), so no number is cut.
QList<int> columnWidths(int tag, int clientWidth, const QList<int>& needed = {});

// Heat start list columns.
namespace Heat {
enum { Nr = 0, Name, Vorname, Verein, Kl, Meister, Zeit1, Zeit2, Zeit3, Zeit4, Zeit5 };
}
// Heat results columns.
namespace HeatRes {
enum { Pl = 0, Nr, Name, Vorname, Verein, Kl, Meister, Zeit1, Zeit2, GZeit };
}
// Final start list columns.
namespace FinalStart {
enum { Nr = 0, Name, Vorname, Verein, Kl, Meister, GZeit, Zeit4, Zeit5 };
}
// Final results columns.
namespace FinalRes {
enum { Pl = 0, Nr, Name, Vorname, Verein, Kl, Meister, GZeit, Zeit4, Zeit5, Endzeit };
}

} // namespace StageTables

#pragma once

#include "competition/SortOptions.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QStringList>
#include <QStringView>
#include <optional>

// One sort pass over the cells of one column. Rows that compare equal keep their current order
// in both directions, so passes from the last key to the first give a multi-key order.
class CellSorter {
public:
    struct SortKey {
        QByteArray bytes;             // Windows-1252 text, lowered when case-insensitive
        std::optional<double> number; // set when the text reads as a number (or time)
        int position = 0;             // current data position, from 0
    };

    // The new order as indices into texts.
    static QList<int> sortedPositions(const QStringList& texts, SortStyle style,
                                      const SortOptions& options, QChar decimalSeparator);
    static QList<int> sortedPositions(const QList<QStringView>& texts, SortStyle style,
                                      const SortOptions& options, QChar decimalSeparator);

    // ssAutomatic: numbers, else date-times, else times, else text.
    static SortStyle detectStyle(const QStringList& dataCells, QChar decimalSeparator);

    // Negative, 0 or positive, before direction and tie-break.
    static int compare(const SortKey& a, const SortKey& b);

private:
    // Positions 0..n-1 ordered by a strict "before"; a merge never leaves its bounds even if
    // the comparison is not consistent.
    template <typename Before> static QList<int> mergeOrder(int n, Before before);
};

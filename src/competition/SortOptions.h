#pragma once

#include <QString>

enum SortStyle {
    ssAutomatic,
    ssNormal,
    ssNumeric,
    ssNumericExtended,
    ssDateTime,
    ssTime,
    ssCustom
};

enum SortDirection { sdAscending, sdDescending };

// The sort settings every table carries; the derivations switch CanSort on for their own sorts.
struct SortOptions {
    bool canSort = false;
    QString secondaryIndex; // comma-separated column numbers used as further keys
    SortStyle style = ssNormal;
    bool caseSensitive = false;
    int column = 0;
    SortDirection direction = sdAscending;
    bool updateOnSizeChange = false;
};

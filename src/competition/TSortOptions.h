#pragma once

#include <QString>

enum TSortStyle {
    ssAutomatic,
    ssNormal,
    ssNumeric,
    ssNumericExtended,
    ssDateTime,
    ssTime,
    ssCustom
};

enum TSortDirection { sdAscending, sdDescending };

// The sort settings every table carries; the derivations switch CanSort on for their own sorts.
struct TSortOptions {
    bool CanSort = false;
    QString SecondaryIndex; // comma-separated column numbers used as further keys
    TSortStyle SortStyle = ssNormal;
    bool SortCaseSensitive = false;
    int SortCol = 0;
    TSortDirection SortDirection = sdAscending;
    bool UpdateOnSizeChange = false;
};

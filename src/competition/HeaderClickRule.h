#pragma once

#include "competition/SortOptions.h"

// The sort direction a click on a column caption asks for.
class HeaderClickRule {
public:
    // Repeated clicks on one caption alternate the direction, a new column starts ascending,
    // and the right mouse button always sorts descending.
    static SortDirection direction(SortDirection current, int column, int sortCol,
                                   bool rightButton);
};

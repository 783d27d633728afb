#include "competition/HeaderClickRule.h"

SortDirection HeaderClickRule::direction(SortDirection current, int column, int sortCol,
                                         bool rightButton) {
    if (rightButton)
        return sdDescending;
    if (current == sdDescending)
        return sdAscending;
    return column == sortCol ? sdDescending : sdAscending;
}

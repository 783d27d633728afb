#include "competition/HeaderClickRule.h"

TSortDirection HeaderClickRule::direction(TSortDirection current, int column, int sortCol,
                                          bool rightButton) {
    if (rightButton)
        return sdDescending;
    if (current == sdDescending)
        return sdAscending;
    return column == sortCol ? sdDescending : sdAscending;
}

#include "cup/CupRules.h"

QList<int> CupRules::worldCupTable() {
    QList<int> table{100, 80, 60, 50, 45, 40, 36, 32, 29, 26, 24, 22, 20, 18, 16};
    for (int points = 15; points >= 1; --points)
        table.append(points);
    return table;
}

QList<int> CupRules::classicTable() {
    QList<int> table{100, 85, 70, 60, 55, 50, 46, 42, 39, 36, 34, 32, 30, 28, 26};
    for (int points = 25; points >= 1; --points)
        table.append(points);
    return table;
}

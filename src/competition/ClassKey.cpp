#include "competition/ClassKey.h"

#include "competition/CompetitionTable.h"
#include "competition/DecimalText.h"
#include "competition/Windows1252.h"

#include <algorithm>
#include <numeric>

ClassKey ClassKey::fromText(const QString& text) {
    ClassKey key;
    key.m_number = DecimalText::parseInteger(text);
    if (!key.m_number)
        key.m_text = Windows1252::encode(text);
    return key;
}

bool ClassKey::operator==(const ClassKey& other) const {
    if (m_number || other.m_number)
        return m_number == other.m_number;
    return m_text == other.m_text;
}

bool ClassKey::operator<(const ClassKey& other) const {
    if (m_number && other.m_number)
        return *m_number < *other.m_number;
    if (m_number || other.m_number)
        return m_number.has_value();
    // Unsigned byte order, like the text comparison of the tables.
    return std::lexicographical_compare(
        m_text.cbegin(), m_text.cend(), other.m_text.cbegin(), other.m_text.cend(),
        [](char a, char b) { return static_cast<uchar>(a) < static_cast<uchar>(b); });
}

bool ClassKey::allWholeNumbers(const CompetitionTable& grid, int column) {
    for (int r = 1; r < grid.rowsWithHeader(); ++r) {
        if (!DecimalText::parseInteger(grid.cell(column, r)))
            return false;
    }
    return true;
}

void ClassKey::stableSort(CompetitionTable& grid, int column) {
    const int count = grid.rowsWithHeader() - 1;
    QList<ClassKey> keys(grid.rowsWithHeader());
    for (int r = 1; r < grid.rowsWithHeader(); ++r)
        keys[r] = fromText(grid.cell(column, r));
    QList<int> order(count);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    grid.reorderRows(order);
}

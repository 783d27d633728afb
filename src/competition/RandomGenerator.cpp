#include "competition/RandomGenerator.h"

int RandomGenerator::random(int n) {
    if (n < 1)
        return 0;
    m_state = m_state * 134775813u + 1u;
    return static_cast<int>((static_cast<quint64>(n) * m_state) >> 32);
}

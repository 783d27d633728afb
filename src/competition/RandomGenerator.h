#pragma once

#include <QtGlobal>

// The program's only source of random numbers: a 32-bit linear congruential generator that
// starts from 0 and is never seeded, so every program run produces the same protocols.
class RandomGenerator {
public:
    explicit RandomGenerator(quint32 state = 0) : m_state(state) {}

    // A value from 0 to n - 1; n below 1 gives 0 without advancing the state.
    int random(int n);

    quint32 state() const { return m_state; }

private:
    quint32 m_state;
};

#include "competition/SubstituteTime.h"

#include <QtNumeric>
#include <limits>

namespace {

// A minus B of a run that has both, unless the stamps it came from are so absurd that it
// overflows: such a run counts as one without both.
std::optional<qint64> differenceOf(const SubstituteTime::Run& run) {
    qint64 difference = 0;
    if (!run.aMicroseconds || !run.bMicroseconds ||
        qSubOverflow(*run.aMicroseconds, *run.bMicroseconds, &difference))
        return std::nullopt;
    return difference;
}

qint64 floorDivide(qint64 numerator, qint64 denominator) {
    const qint64 quotient = numerator / denominator;
    return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? quotient - 1
                                                                                  : quotient;
}

} // namespace

std::optional<SubstituteTime::Calculation>
SubstituteTime::calculate(const std::vector<Run>& runs, int target, qint64 baseMicroseconds) {
    const int count = static_cast<int>(runs.size());
    if (target < 0 || target >= count)
        return std::nullopt;
    Calculation c;
    c.baseMicroseconds = baseMicroseconds;
    std::vector<Neighbour> before;
    for (int i = target - 1; i >= 0 && static_cast<int>(before.size()) < NeighboursEachSide; --i)
        if (const auto difference = differenceOf(runs[static_cast<std::size_t>(i)]))
            before.push_back({i, *difference});
    c.neighbours.assign(before.rbegin(), before.rend());
    c.before = static_cast<int>(before.size());
    for (int i = target + 1; i < count && c.after < NeighboursEachSide; ++i)
        if (const auto difference = differenceOf(runs[static_cast<std::size_t>(i)])) {
            c.neighbours.push_back({i, *difference});
            ++c.after;
        }
    if (c.neighbours.empty())
        return std::nullopt;
    // base + sum / n in hundredths (10,000 us), truncated as a run time is: one exact division.
    // Absurd stamps or a mistyped hand time give no substitute rather than a wrapped one.
    const qint64 n = static_cast<qint64>(c.neighbours.size());
    qint64 numerator = 0;
    for (const Neighbour& neighbour : c.neighbours)
        if (qAddOverflow(c.sumMicroseconds, neighbour.differenceMicroseconds, &c.sumMicroseconds))
            return std::nullopt;
    if (qMulOverflow(baseMicroseconds, n, &numerator) ||
        qAddOverflow(numerator, c.sumMicroseconds, &numerator))
        return std::nullopt;
    const qint64 hundredths = floorDivide(numerator, n * 10'000);
    if (hundredths < std::numeric_limits<qint32>::min() ||
        hundredths > std::numeric_limits<qint32>::max())
        return std::nullopt;
    c.resultHundredths = static_cast<qint32>(hundredths);
    return c;
}

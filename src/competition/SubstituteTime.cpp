#include "competition/SubstituteTime.h"

namespace {

bool hasBoth(const SubstituteTime::Run& run) {
    return run.aMicroseconds && run.bMicroseconds;
}

SubstituteTime::Neighbour neighbour(const std::vector<SubstituteTime::Run>& runs, int index) {
    const SubstituteTime::Run& run = runs[static_cast<std::size_t>(index)];
    return {index, *run.aMicroseconds - *run.bMicroseconds};
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
        if (hasBoth(runs[static_cast<std::size_t>(i)]))
            before.push_back(neighbour(runs, i));
    c.neighbours.assign(before.rbegin(), before.rend());
    c.before = static_cast<int>(before.size());
    for (int i = target + 1; i < count && c.after < NeighboursEachSide; ++i)
        if (hasBoth(runs[static_cast<std::size_t>(i)])) {
            c.neighbours.push_back(neighbour(runs, i));
            ++c.after;
        }
    if (c.neighbours.empty())
        return std::nullopt;
    for (const Neighbour& n : c.neighbours)
        c.sumMicroseconds += n.differenceMicroseconds;
    // base + sum / n in hundredths (10,000 us), truncated as a run time is: one exact division.
    const qint64 n = static_cast<qint64>(c.neighbours.size());
    c.resultHundredths =
        static_cast<qint32>(floorDivide(baseMicroseconds * n + c.sumMicroseconds, n * 10'000));
    return c;
}

#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// A run that lasts longer than the longest a run can take: the stop barrier has most likely
// missed the competitor, and the operator is told so until the run ends.
class RunOverrun {
public:
    static constexpr int defaultLimitSeconds = 120;
    static constexpr int maxLimitSeconds = 3600;

    // The warning for a run that has been going for elapsedMs; nothing while it is within the
    // limit, and nothing at all with the limit 0 (off).
    static std::optional<QString> warning(qint64 elapsedMs, int limitSeconds);
};

#include "platform/OpenFileLimit.h"

#include <QDir>

#include <limits>
#include <sys/resource.h>

namespace {

qint64 asCount(rlim_t value) {
    if (value == RLIM_INFINITY || value > static_cast<rlim_t>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<qint64>(value);
}

} // namespace

qint64 OpenFileLimit::raiseToHard() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return soft();
    if (limit.rlim_cur != limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        // The hard limit may be infinite while the kernel caps descriptors at nr_open; then
        // the call fails and the old soft limit stays, which is still sound.
        setrlimit(RLIMIT_NOFILE, &raised);
    }
    return soft();
}

qint64 OpenFileLimit::soft() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return std::numeric_limits<int>::max();
    return asCount(limit.rlim_cur);
}

int OpenFileLimit::openCount() {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    if (!fds.exists())
        return -1;
    // The listing itself holds one descriptor while it reads.
    return qMax(0,
                static_cast<int>(
                    fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size()) -
                    1);
}

#include "platform/OpenFileLimit.h"

#include <cerrno>
#include <dirent.h>
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
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds) {
        if (errno == EMFILE || errno == ENFILE)
            return static_cast<int>(qMin<qint64>(soft(), std::numeric_limits<int>::max()));
        return -1;
    }
    int count = 0;
    while (const dirent* entry = ::readdir(fds)) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    ::closedir(fds);
    // The listing itself held one while it read.
    return qMax(0, count - 1);
}

#include "mock/FileSystemFaults.h"

#include <QFile>
#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace FileSystemFaults {

namespace {

// The capabilities that let root ignore file permissions.
constexpr unsigned kOverrideMask =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool getCaps(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool setCaps(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}

// Root ignores permissions; the thread gives up that override until restoreOverride.
bool dropOverride(unsigned (&saved)[2]) {
    __user_cap_data_struct caps[2]{};
    if (!getCaps(caps))
        return false;
    saved[0] = caps[0].effective;
    saved[1] = caps[1].effective;
    caps[0].effective &= ~kOverrideMask;
    return setCaps(caps);
}

void restoreOverride(const unsigned (&saved)[2]) {
    __user_cap_data_struct caps[2]{};
    if (getCaps(caps)) {
        caps[0].effective = saved[0];
        caps[1].effective = saved[1];
        setCaps(caps);
    }
}

} // namespace

UnreadableFile::UnreadableFile(const QString& path) : m_path(path) {
    QFile::setPermissions(path, QFileDevice::Permissions());
    if (geteuid() != 0) {
        m_effective = true;
        return;
    }
    m_capsDropped = dropOverride(m_savedCaps);
    m_effective = m_capsDropped;
}

UnreadableFile::~UnreadableFile() {
    if (m_capsDropped)
        restoreOverride(m_savedCaps);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::ReadOther);
}

ReadOnlyFolder::ReadOnlyFolder(const QString& path) : m_path(path) {
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    if (geteuid() != 0) {
        m_effective = true;
        return;
    }
    m_capsDropped = dropOverride(m_savedCaps);
    m_effective = m_capsDropped;
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (m_capsDropped)
        restoreOverride(m_savedCaps);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                      QFile::ExeOther);
}

DiskFull::DiskFull(long long bytes) {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_savedSoft = static_cast<long long>(limit.rlim_cur);
    // The kernel would otherwise end the process instead of failing the write.
    m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    m_effective = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

DiskFull::~DiskFull() {
    rlimit limit{};
    if (m_effective && getrlimit(RLIMIT_FSIZE, &limit) == 0) {
        limit.rlim_cur = static_cast<rlim_t>(m_savedSoft);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::signal(SIGXFSZ, m_savedHandler);
}

} // namespace FileSystemFaults

#include "mock/SmallTmpfs.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString kFiller = QStringLiteral(".filler");

} // namespace

SmallTmpfs::SmallTmpfs(int kilobytes) {
    if (!m_dir.isValid()) {
        m_whyNot = QStringLiteral("no temporary folder");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
    if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0, options.constData()) !=
        0) {
        m_whyNot = QStringLiteral("a tmpfs cannot be mounted here (%1); run as root")
                       .arg(qt_error_string(errno));
        return;
    }
    m_mounted = true;
}

SmallTmpfs::~SmallTmpfs() {
    if (m_mounted)
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

bool SmallTmpfs::fill() {
    const int fd = ::open(QFile::encodeName(filePath(kFiller)).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno == ENOSPC;
    const QByteArray block(512, 'f');
    int error = 0;
    while (error == 0) {
        if (::write(fd, block.constData(), static_cast<size_t>(block.size())) < 0)
            error = errno;
    }
    ::close(fd);
    return error == ENOSPC;
}

void SmallTmpfs::freeSpace() {
    QFile::remove(filePath(kFiller));
}

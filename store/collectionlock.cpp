#include "store/collectionlock.h"

#include "store/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

bool CollectionLock::acquire(const QString &directory)
{
    if (m_fd >= 0)
        return true;
    const QString path = QDir(directory).filePath(FileName);
    const QByteArray name = QFile::encodeName(path);
    auto failure = [&](const char *text, int code) {
        return Error(QCoreApplication::translate("CollectionLock", text)
                         .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(code))));
    };
    // The holder removes the file when it lets go, so a lock won on a file that was removed (or
    // replaced) meanwhile is worthless: try again on the file that is there now.
    for (;;) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            throw failure("Cannot open the lock file \"%1\": %2", errno);
        int rc = 0;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int code = errno;
            ::close(fd);
            if (code == EWOULDBLOCK)
                return false;
            throw failure("Cannot lock \"%1\": %2", code);
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0 && held.st_dev == named.st_dev
            && held.st_ino == named.st_ino) {
            m_fd = fd;
            m_path = name;
            return true;
        }
        ::close(fd);
    }
}

void CollectionLock::release()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so that nobody wins a lock on the removed file; closing the only
    // descriptor then releases the flock.
    ::unlink(m_path.constData());
    ::close(m_fd);
    m_fd = -1;
}

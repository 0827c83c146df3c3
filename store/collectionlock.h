#pragma once

#include <QByteArray>
#include <QString>

// The exclusive hold on one data directory: a lock file in it, locked with flock(2) for as long
// as one process has the directory's tables open for writing, and removed when let go. The kernel
// drops the lock when the process ends, however it ends, so a killed program never leaves its
// directory locked (only the empty file stays, and the next holder takes it over).
class CollectionLock
{
public:
    // The lock file's name inside a data directory.
    static inline const QString FileName = QStringLiteral(".saporin.lock");

    CollectionLock() = default;
    CollectionLock(const CollectionLock &) = delete;
    CollectionLock &operator=(const CollectionLock &) = delete;
    ~CollectionLock() { release(); }

    // Takes the lock on `directory` without waiting. Returns false when another holder has it;
    // throws Error when the lock file cannot be created at all.
    [[nodiscard]] bool acquire(const QString &directory);
    void release();
    [[nodiscard]] bool isHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    QByteArray m_path;
};

#include "store/datalocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace DataLocation {

bool isWritableByUser(const QString &directory)
{
    const QFileInfo info(directory);
    if (!info.isDir())
        return false;
    if (::geteuid() == 0)
        return (info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)) != 0;
    // Creating a file in a folder takes write and search permission on it.
    return ::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK | X_OK) == 0;
}

QString userDataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1String("/saporin");
}

QString directoryFor(const QString &programDirectory)
{
    const QString canonical = QFileInfo(programDirectory).canonicalFilePath();
    const bool system = canonical == QLatin1String("/usr") || canonical.startsWith(QLatin1String("/usr/"));
    if (!system && isWritableByUser(programDirectory))
        return programDirectory;
    const QString user = userDataDirectory();
    // The folder is private to its user, as XDG asks of the data folders a program creates.
    if (!QFileInfo(user).isDir() && QDir().mkpath(user))
        QFile::setPermissions(user, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return user;
}

QString directory()
{
    return directoryFor(QCoreApplication::applicationDirPath());
}

} // namespace DataLocation

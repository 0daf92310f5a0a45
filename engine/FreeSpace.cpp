#include "engine/FreeSpace.h"

#include <QFile>
#include <sys/statvfs.h>

qint64 FreeSpace::freeBytes(const QString &folder) const
{
    struct statvfs info = {};
    if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return -1;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

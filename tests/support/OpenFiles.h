#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// Open descriptors of this process that point into folder (libmpv's cache
// file shows as "<folder>/mpv-cache-….dat (deleted)").
inline int filesOpenIn(const QString &folder)
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System))
        if (QFile::symLinkTarget(fds.filePath(fd)).startsWith(folder))
            ++count;
    return count;
}

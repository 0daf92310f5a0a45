#pragma once

#include <QString>

// How much room a folder's disk has left. The default asks the file system;
// tests put a smaller disk in its place.
class FreeSpace
{
public:
    virtual ~FreeSpace() = default;
    // Bytes free for an unprivileged writer in folder; -1 when unknown.
    virtual qint64 freeBytes(const QString &folder) const;
};

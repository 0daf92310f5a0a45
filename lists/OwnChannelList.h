#pragma once

#include <QString>

// The user's own channel list, "channels.m3u" in the per-user configuration
// folder: read as one more channel list, first, whenever the file exists, and
// never written by the program.
class OwnChannelList
{
public:
    static QString fileName();
    static QString path(); // in QStandardPaths::AppConfigLocation

    // Name of the alternate list made for a built-in channel that had none.
    static QString listBoxFor(const QString &control);
};

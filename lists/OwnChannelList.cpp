#include "lists/OwnChannelList.h"

#include <QStandardPaths>

QString OwnChannelList::fileName()
{
    return QStringLiteral("channels.m3u");
}

QString OwnChannelList::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/')
        + fileName();
}

QString OwnChannelList::listBoxFor(const QString &control)
{
    return QStringLiteral("ListBox") + control;
}

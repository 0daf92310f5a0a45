#include "player/FileNames.h"

QString fileNamePart(const QString &url)
{
    qsizetype cut = -1;
    for (const QChar separator : { QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':') })
        cut = std::max(cut, url.lastIndexOf(separator));
    return url.mid(cut + 1);
}

QString fileExtension(const QString &url)
{
    const QString name = fileNamePart(url);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

#include "guide/GuideKeys.h"

#include "lists/ChannelNameRules.h"

#include <QStringList>

namespace
{

bool isQualityWord(QStringView word)
{
    while (!word.isEmpty() && !word.front().isLetterOrNumber())
        word = word.sliced(1);
    while (!word.isEmpty() && !word.back().isLetterOrNumber())
        word.chop(1);
    static const char *const words[] = { "hd", "fhd", "uhd", "sd", "4k", "8k" };
    for (const char *quality : words) {
        if (word.compare(QLatin1String(quality), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QString GuideKeys::idKey(QStringView id)
{
    id = id.trimmed();
    const qsizetype feed = id.indexOf(u'@');
    if (feed >= 0)
        id = id.left(feed).trimmed();
    return id.toString().toCaseFolded();
}

QString GuideKeys::nameKey(QStringView name)
{
    const QString title = ChannelNameRules::splitTags(name).title;
    QString kept;
    kept.reserve(title.size());
    for (const QStringView word : QStringView(title).split(u' ', Qt::SkipEmptyParts)) {
        if (isQualityWord(word))
            continue;
        if (!kept.isEmpty())
            kept += u' ';
        kept += word;
    }
    // A name made only of such words ("HD") is still a name.
    return ChannelNameRules::matchKey(kept.isEmpty() ? title : kept);
}

#pragma once

#include "guide/GuideLibrary.h"
#include "tests/support/GuideBytes.h"

#include <QFile>
#include <QTest>

// A guide written around a moment, in Brasília's offset: each channel's
// programmes run an hour each from an hour before that moment's hour.
namespace LocalGuide
{
struct Programme {
    QByteArray channel;
    QByteArray title;
    QByteArray extra; // elements after <title>: "<desc>…</desc>"
};

inline qint64 hourOf(qint64 when)
{
    return when - when % 3600;
}

// Channels "tv-globo" (display name "TV Globo") and "SBT", four programmes each,
// titled "<channel> <n>" from n = -1 (the hour before now's hour) to 2.
inline QByteArray around(qint64 now, const QByteArray &extraForNow = {})
{
    const QDateTime hour = QDateTime::fromSecsSinceEpoch(hourOf(now), Qt::UTC);
    QByteArray xml = "<tv><channel id=\"tv-globo\"><display-name>TV Globo</display-name></channel>"
                     "<channel id=\"SBT\"><display-name>SBT</display-name></channel>";
    for (const char *channel : { "tv-globo", "SBT" }) {
        for (int h = -1; h < 3; ++h) {
            xml += "<programme start=\"" + GuideBytes::brasilia(hour.addSecs(h * 3600)) + "\" stop=\""
                + GuideBytes::brasilia(hour.addSecs((h + 1) * 3600)) + "\" channel=\"" + channel
                + "\"><title>" + channel + " " + QByteArray::number(h) + "</title>"
                + (h == 0 ? extraForNow : QByteArray()) + "</programme>";
        }
    }
    return xml + "</tv>";
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The library's parts over one local guide file in folder.
struct Library {
    Library(const QString &folder, const QString &file)
        : registry(folder + QStringLiteral("/guides.ini"), folder + QStringLiteral("/cache"))
        , choices(folder + QStringLiteral("/choices.ini"))
        , id(registry.add(QStringLiteral("Guia local"), file))
        , library(registry, choices)
    {
    }
    // Reads the guide for these channels; true once it shows.
    bool read(const QVector<GuideChannelQuery> &channels)
    {
        library.setChannels(channels);
        library.start();
        return QTest::qWaitFor([this] { return library.isIdle() && !library.matcher().guides().isEmpty(); });
    }

    GuideRegistry registry;
    GuideChoices choices;
    QString id;
    GuideLibrary library;
};

inline ListChannel entry(const QString &name, const QString &tvgId = {})
{
    ListChannel channel;
    channel.name = channel.title = name;
    channel.tvgId = tvgId;
    channel.address = QStringLiteral("https://cdn.test/") + name;
    return channel;
}
} // namespace LocalGuide

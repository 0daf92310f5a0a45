#pragma once

// A channel list shaped like the big public ones (iptv-org, Free-TV): tvg
// attributes, logos, several groups, tags, a few option lines, and now and then
// a built-in channel's name. The same seed gives the same list.

#include "channels/ChannelCatalogue.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <iterator>

inline QByteArray bigChannelList(int channels)
{
    static const char *const syllables[] = { "ban", "re", "de", "tv", "ção", "glo", "bo", "vi", "da", "sul",
        "nor", "te", "mi", "nas", "rá", "dio", "can", "al", "news", "sat", "pa", "ra", "ná", "ja" };
    static const char *const groups[] = { "News", "General;Entertainment", "Religious", "Sports",
        "Kids;Animation", "Music", "Movies", "Regional", "Undefined", "Educação" };
    static const char *const tags[]
        = { "", " (720p)", " (1080p)", " (480p) [Not 24/7]", " [Geo-blocked]", " Ⓨ", " (576i)" };
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    QRandomGenerator random(42);
    QByteArray list = "#EXTM3U x-tvg-url=\"";
    for (int i = 0; i < 120; ++i)
        list += "https://iptv-epg.test/guides/br/guia" + QByteArray::number(i) + ".xml.gz,";
    list += "https://iptv-epg.test/guides/last.xml.gz\"\n";
    for (int i = 0; i < channels; ++i) {
        QByteArray name;
        if (i % 97 == 0) {
            name = catalogue.channels().at((i / 97) % catalogue.channels().size()).titleSuffix.toUtf8();
        } else {
            const int words = 1 + int(random.bounded(3));
            for (int w = 0; w < words; ++w) {
                if (w)
                    name += ' ';
                const int parts = 2 + int(random.bounded(2));
                for (int p = 0; p < parts; ++p)
                    name += syllables[random.bounded(int(std::size(syllables)))];
                name[name.lastIndexOf(' ') + 1]
                    = char(QChar::toUpper(uchar(name[name.lastIndexOf(' ') + 1])));
            }
        }
        const QByteArray id = QByteArray(name).replace(' ', "") + ".br";
        list += "#EXTINF:-1 tvg-id=\"" + id + "\" tvg-logo=\"https://i.imgur.test/"
            + QByteArray::number(i, 36) + ".png\" group-title=\""
            + groups[random.bounded(int(std::size(groups)))] + "\"," + name
            + tags[random.bounded(int(std::size(tags)))] + "\n";
        if (i % 20 == 0)
            list += "#EXTVLCOPT:http-referrer=https://site" + QByteArray::number(i)
                + ".test/\n"
                  "#EXTVLCOPT:http-user-agent=Mozilla/5.0 (Windows NT 10.0; Win64; x64)\n";
        list += "https://cdn" + QByteArray::number(i % 37) + ".stream.test/live/" + QByteArray::number(i)
            + "/index.m3u8\n";
    }
    return list;
}

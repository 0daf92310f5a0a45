#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// A list entry's name split into what the channel is called and the tags
// publishers hang on it: "Band (1080p) [Geo-blocked]" is "Band" with the tags
// "1080p" and "Geo-blocked".
struct TaggedName {
    QString title;
    QStringList tags;
};

// Text rules for channel names: how they are searched and how a list entry is
// recognised as one of the program's built-in channels.
class ChannelNameRules
{
public:
    // Lower case, accents and other combining marks dropped, compatibility forms
    // unified, blanks collapsed to one space: "  Canção   NOVA" -> "cancao nova".
    // Used for searching, so "cancao" finds "Canção".
    static QString folded(QStringView text);

    // Tags are anything in square brackets, a resolution in parentheses ("(720p)",
    // "(1080i)", "(4K)") and enclosed marks such as "Ⓨ"; other parentheses are part
    // of the name ("SBT (Alterosa)"). A name made only of tags keeps itself as title.
    static TaggedName splitTags(QStringView name);

    // What two names must share to be the same channel: tags removed, folded,
    // only letters and digits kept. "Rede TV!" and "RedeTV" give "redetv".
    static QString matchKey(QStringView name);

    // A tvg-id without its feed ("@SD") and its two-letter country suffix, as a
    // match key: "Band.br" gives "band".
    static QString tvgIdKey(QStringView tvgId);
};

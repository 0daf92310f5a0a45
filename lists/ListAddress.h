#pragma once

#include <QString>
#include <QStringView>

// Rules for the stream addresses found in channel lists.
class ListAddress
{
public:
    // "http://" or "https://", any case.
    static bool isRemote(QStringView address);

    // The host of "scheme://[user@]host[:port]/...", lower case; empty when the
    // address has no "://".
    static QString hostOf(QStringView address);

    // The host lies in the reserved ".example" domain: the address stands in for
    // one nobody has given yet and can never play.
    static bool isPlaceholder(QStringView address);

    // A web page the engine cannot play: a video site's watch page or an .html page.
    static bool isWebPage(QStringView address);

    // An address without a scheme of its own, resolved against the list's own
    // address (an http(s) address or a local file path). Absolute ones, and any
    // address when base is empty, come back as written.
    static QString resolved(const QString &address, const QString &base);

    // "scheme:" with a scheme of two or more letters (a drive letter is no scheme).
    static bool hasScheme(QStringView address);
};

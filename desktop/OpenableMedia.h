#pragma once

#include <QStringList>

// What the program opens from outside (command line, another copy, the
// desktop's player controls): the address schemes and the media types the
// engine plays. The desktop entry and the metainfo list the same types.
namespace OpenableMedia
{
// Schemes the desktop is told we open; "file" is a local path. The address
// rule admits a few more network schemes (rtmps, srt...).
QStringList uriSchemes();
QStringList mimeTypes();
// True for text that names a network stream the address rule admits.
bool isAddress(const QString &text);
} // namespace OpenableMedia

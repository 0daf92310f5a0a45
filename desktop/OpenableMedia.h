#pragma once

#include <QStringList>

// What the program opens from outside (command line, another copy, the
// desktop's player controls): the address schemes and the media types the
// engine plays. The desktop entry and the metainfo list the same types.
namespace OpenableMedia
{
// Schemes played as addresses; "file" is a local path.
QStringList uriSchemes();
QStringList mimeTypes();
// True for text that names a network address of a scheme the engine plays.
bool isAddress(const QString &text);
} // namespace OpenableMedia

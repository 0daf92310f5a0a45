#pragma once

#include <QString>

// The file-name part of a path or URL: the text after the last "/", "\" or ":".
QString fileNamePart(const QString &url);
// The extension of the file-name part, from its last "." (dot included); empty without one.
QString fileExtension(const QString &url);

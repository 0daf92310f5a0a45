#pragma once

#include <QString>
#include <QUrl>

// The addresses the browser window navigates to: search terms made from what
// the user typed (or from the file that plays), the two search sites, and the
// page "Area Adulta" opens outside the program.
namespace SearchAddress
{

// Hosts of the two search sites; paths and query keys are fixed below.
inline const QString LyricsSearchSite = QStringLiteral("https://www.google.com");
inline const QString VideoSearchSite = QStringLiteral("https://video.google.com");
// The webcam page "Area Adulta" opens in the system's default browser.
inline const QString AdultAreaAddress = QStringLiteral("https://webcams.lumivortex.example/");

// The text without its last extension: everything from the last "." on, when
// that dot comes after the last "\" or ":" (file names as the player shows them).
QString withoutExtension(const QString &text);

// Search terms for a query value: the extension removed, blanks and "_" turned
// into "+", every other character that is not safe in a query value
// percent-encoded as UTF-8 (a typed "+" becomes %2B, so it is not read as a blank).
QString searchTerms(const QString &text);

// "Modo Letras": the web search for the terms followed by "lyrics".
QUrl lyricsSearch(const QString &text);
// "Modo Videos": the video search for the terms.
QUrl videoSearch(const QString &text);
// "Modo Browser": the text as typed, read as a user means it ("exemplo.org"
// becomes an http address, "/tmp/a.html" a local file). Empty or unusable
// text gives an invalid address.
QUrl typedAddress(const QString &text);

} // namespace SearchAddress

#pragma once

#include <QString>
#include <QStringView>

// Text that arrives from outside (a list, a guide, a stream's metadata, a
// server) is shown as the characters it holds, never as markup: Qt renders a
// label, tooltip or message box text that looks like HTML as rich text, and a
// name such as "<img src=/local/file>" would load a local picture.
namespace PlainText
{
// Longest outside text shown on one line (titles, labels, menu items, tooltips).
constexpr int maxLineChars = 300;

// One line: control characters and line breaks become spaces, and text longer
// than maxChars is cut with "…".
QString line(QStringView text, int maxChars = maxLineChars);

// For a tooltip or any other place that decides by itself whether text is rich:
// the line, escaped and wrapped so that Qt shows it literally.
QString tooltip(QStringView text, int maxChars = maxLineChars);
} // namespace PlainText

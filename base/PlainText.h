#pragma once

#include <QString>
#include <QStringView>

// Text that arrives from outside (a list, a guide, a stream's metadata, a
// server) is shown as the characters it holds, never as markup: Qt renders a
// label, tooltip or message box text that looks like HTML as rich text, and a
// name such as "<img src=/local/file>" would load a local picture. It is also
// bounded, so a name of ten thousand characters makes no giant window title,
// tooltip or box.
namespace PlainText
{
// Longest outside text shown on one line (titles, labels, items, tooltips).
constexpr int maxLineChars = 200;
// Longest text of several lines (a message, an error).
constexpr int maxTextChars = 2000;
// Tooltips longer than this are handed to Qt in a form it wraps.
constexpr int tooltipLineChars = 80;
// Where a long word may break; it shows nothing.
constexpr char16_t ZeroWidthSpace = 0x200B;

// One line: control characters and line breaks become spaces, and text longer
// than maxChars is cut with "…".
QString line(QStringView text, int maxChars = maxLineChars);

// Several lines: CR LF and CR become LF, other control characters spaces, and
// text longer than maxChars is cut with "…"; long words get zero-width spaces
// to break at, so a word-wrapped label stays within its window. For a widget
// set to Qt::PlainText.
QString text(QStringView text, int maxChars = maxTextChars);

// For a tooltip, which Qt shows as rich text whenever it looks like markup:
// the line as it is when it cannot be taken for markup and is short (so it
// looks like every other tooltip); otherwise escaped, in a paragraph that
// keeps its spaces and that Qt wraps to a readable width (long words get
// zero-width spaces to break at).
QString tooltip(QStringView text, int maxChars = maxLineChars);
} // namespace PlainText

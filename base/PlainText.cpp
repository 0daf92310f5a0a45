#include "base/PlainText.h"

namespace
{

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// Control characters never reach the screen; line breaks stay as LF when
// keepBreaks, a CR LF pair making one.
QString cleaned(QStringView text, int maxChars, bool keepBreaks)
{
    QString out;
    const qsizetype keep = qMin<qsizetype>(text.size(), qMax(1, maxChars));
    out.reserve(keep + 1);
    for (qsizetype i = 0; i < keep; ++i) {
        const QChar c = text[i];
        if (keepBreaks && isLineBreak(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                continue;
            out += QChar(u'\n');
        } else {
            out += c.category() == QChar::Other_Control || isLineBreak(c) ? QChar(u' ') : c;
        }
    }
    // Never leave half of a surrogate pair at the cut.
    if (keep < text.size()) {
        if (!out.isEmpty() && out.back().isHighSurrogate())
            out.chop(1);
        out += QChar(0x2026);
    }
    return out;
}

// Qt wraps text only between words: a long run without spaces gets invisible
// places to break, or it would widen its label or tooltip past the screen.
QString breakable(const QString &text)
{
    constexpr int longestRun = 40;
    QString out;
    out.reserve(text.size() + text.size() / longestRun);
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > longestRun && !c.isLowSurrogate()) {
            out += QChar(PlainText::ZeroWidthSpace);
            run = 1;
        }
        out += c;
    }
    return out;
}

} // namespace

QString PlainText::line(QStringView text, int maxChars)
{
    return cleaned(text, maxChars, false);
}

QString PlainText::text(QStringView text, int maxChars)
{
    return breakable(cleaned(text, maxChars, true));
}

QString PlainText::tooltip(QStringView text, int maxChars)
{
    const QString shown = line(text, maxChars);
    // Qt takes a tooltip for rich text only by its tags and entities.
    if (shown.size() <= tooltipLineChars && !shown.contains(u'<') && !shown.contains(u'&'))
        return shown;
    // Escaped, the characters show as they are; "pre-wrap" keeps runs of
    // spaces and lets Qt wrap a long name.
    return QStringLiteral("<p style='white-space:pre-wrap'>") + breakable(shown).toHtmlEscaped()
        + QStringLiteral("</p>");
}

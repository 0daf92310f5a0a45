#include "base/PlainText.h"

QString PlainText::line(QStringView text, int maxChars)
{
    QString out;
    const qsizetype keep = qMin<qsizetype>(text.size(), qMax(1, maxChars));
    out.reserve(keep + 1);
    for (qsizetype i = 0; i < keep; ++i) {
        const QChar c = text[i];
        const bool control = c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator;
        out += control ? QChar(u' ') : c;
    }
    // Never leave half of a surrogate pair at the cut.
    if (keep < text.size()) {
        if (!out.isEmpty() && out.back().isHighSurrogate())
            out.chop(1);
        out += QChar(0x2026);
    }
    return out;
}

QString PlainText::tooltip(QStringView text, int maxChars)
{
    // A rich-text tooltip with escaped contents shows the characters as they are;
    // "pre" keeps runs of spaces and stops Qt wrapping the name mid-word.
    return QStringLiteral("<p style='white-space:pre'>") + line(text, maxChars).toHtmlEscaped()
        + QStringLiteral("</p>");
}

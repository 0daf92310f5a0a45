#pragma once

#include "base/PlainText.h"

#include <QString>
#include <QTextDocument>

// What Qt shows of a text given in a format: as rich text when it is rich,
// or when it is judged (a tooltip, an AutoText label) and looks like markup.
// The places a long word may break at show nothing.
inline QString shownText(const QString &text, Qt::TextFormat format = Qt::AutoText)
{
    QString shown = text;
    if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument document;
        document.setHtml(text);
        shown = document.toPlainText();
    }
    return shown.remove(QChar(PlainText::ZeroWidthSpace));
}

#pragma once

#include <QAccessible>
#include <QLabel>

// Sets a label's text and tells screen readers when it changed: QLabel itself
// announces nothing, so a changing time, status or total would go unheard.
inline void setAnnouncedText(QLabel *label, const QString &text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    if (label->accessibleName().isEmpty()) {
        QAccessibleEvent changed(label, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

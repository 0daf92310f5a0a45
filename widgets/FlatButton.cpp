#include "widgets/FlatButton.h"

#include "widgets/ButtonColour.h"

FlatButton::FlatButton(
    const QString &name, const QString &caption, QWidget *parent, int left, int top, int width, int height)
    : QToolButton(parent)
{
    setObjectName(name);
    setText(caption);
    setGeometry(left, top, width, height);
    setAutoRaise(false);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void FlatButton::setAccessibleLabel(const QString &label)
{
    setAccessibleName(label);
}

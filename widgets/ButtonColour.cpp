#include "widgets/ButtonColour.h"

#include <QPalette>
#include <QWidget>

namespace ButtonColour
{

void set(QWidget *button, const QColor &colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::WindowText, colour);
    button->setPalette(palette);
}

QColor of(const QWidget *button)
{
    return button->palette().color(QPalette::ButtonText);
}

} // namespace ButtonColour

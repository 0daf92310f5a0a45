#include "widgets/CaptionFit.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QWidget>

void fitCaptions(QWidget *window, const QList<QAbstractButton *> &buttons)
{
    QFont font = window->font();
    font.setFamilies({ QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
        QStringLiteral("DejaVu Sans") });
    font.setPixelSize(11);
    window->setFont(font);
    // Indicator, spacing and margins stay the same whatever the font's width.
    QList<int> rooms;
    for (QAbstractButton *button : buttons)
        rooms << button->width()
                - (button->sizeHint().width() - button->fontMetrics().horizontalAdvance(button->text()));
    const auto fits = [&](const QFont &candidate) {
        const QFontMetrics metrics(candidate);
        for (int i = 0; i < buttons.size(); ++i) {
            if (metrics.horizontalAdvance(buttons[i]->text()) > rooms[i])
                return false;
        }
        return true;
    };
    for (int stretch = 100; stretch > 60 && !fits(font); stretch -= 4)
        font.setStretch(stretch - 4);
    window->setFont(font);
}

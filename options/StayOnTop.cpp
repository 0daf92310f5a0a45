#include "options/StayOnTop.h"

#include <QWidget>

bool StayOnTop::isOn(const QWidget *window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void StayOnTop::set(QWidget *window, bool on)
{
    if (isOn(window) == on)
        return;
    const QPoint position = window->pos();
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // A maximised or full-screen window gets its place back from its state.
    if (!(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        window->move(position);
    if (visible)
        window->show();
}

#pragma once

#include <QList>

class QAbstractButton;
class QWidget;

// The controls were sized for an 8-point Windows font; a wider family
// is narrowed just enough for every caption of the given buttons to fit them.
// Sets the window's font; labels sized before the call need adjustSize() again.
void fitCaptions(QWidget *window, const QList<QAbstractButton *> &buttons);

#pragma once

#include <QPushButton>
#include <functional>

// A push button with its object name whose clicks run handler behind
// safeCall, so that no exception leaves the slot.
QPushButton *handlerButton(
    QWidget *parent, const char *objectName, const QString &caption, std::function<void()> handler);

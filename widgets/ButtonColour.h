#pragma once

#include <QColor>

class QWidget;

// The on/off and playing state of the main window's buttons lives in their
// caption colour; these are the only functions that read or set it.
namespace ButtonColour
{
inline const QColor Blue { 0x00, 0x00, 0xFF }; // idle, off, stopped
inline const QColor Lime { 0x00, 0xFF, 0x00 }; // active, playing
inline const QColor Red { 0xFF, 0x00, 0x00 }; // paused, half set

void set(QWidget *button, const QColor &colour);
QColor of(const QWidget *button);
inline bool is(const QWidget *button, const QColor &colour)
{
    return of(button) == colour;
}
} // namespace ButtonColour

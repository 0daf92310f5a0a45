#pragma once

class QWidget;

namespace StayOnTop
{
// Whether the top-level window stays above ordinary windows.
bool isOn(const QWidget *window);
// Changing the hint re-creates the native window, which hides it and may let
// the window manager place it anew: the position is kept, and the window is
// shown again only if it was visible.
void set(QWidget *window, bool on);
} // namespace StayOnTop

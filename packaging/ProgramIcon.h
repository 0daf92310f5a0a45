#pragma once

#include <QIcon>
#include <QList>

// The program's own icon, embedded so the title bar and task switchers show it
// even when the program runs from the build tree and no icon theme holds it.
namespace ProgramIcon
{
// The sizes drawn (the hicolor theme's folders), smallest first.
QList<int> drawnSizes();
// Every drawn size, so each place picks a crisp picture instead of a scaled one.
QIcon icon();
} // namespace ProgramIcon

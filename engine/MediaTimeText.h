#pragma once

#include <QString>

// Position and duration texts: "mm:ss", hours rolled into the minutes
// ("75:03"). Fractions are dropped; negative values read as 0. Not a number
// gives an empty text.
QString mediaTimeText(double seconds);

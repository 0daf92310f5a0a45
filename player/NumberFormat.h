#pragma once

#include <QLocale>
#include <QString>

// A real in general number format: shortest form up to 15 significant digits,
// no trailing zeros, the locale's decimal separator.
QString generalNumber(double value, const QLocale &locale = QLocale::system());
// The playback-rate text: rate × 100 in general format, then "%".
QString rateText(double rate, const QLocale &locale = QLocale::system());

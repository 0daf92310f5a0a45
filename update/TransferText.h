#pragma once

#include <QLocale>
#include <QString>

// The texts of the update window's size and speed displays.

// A real with thousands grouped and exactly two decimals, in the locale's
// separators (the pattern "###,###,##0.00").
QString formatAmount(double value, const QLocale &locale);

// "Total: <MB> MB", a line break, "Recebido: <MB> MB (<KB> KB)".
QString progressText(qint64 totalSize, qint64 readed, const QLocale &locale);

// "Velocidade <n> KBps" for the kilobytes received over the two seconds
// between two ticks; n is rounded to the nearest whole number, halves to even.
QString speedText(double receivedKB, double previousKB);

#include "player/NumberFormat.h"

QString generalNumber(double value, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

QString rateText(double rate, const QLocale &locale)
{
    return generalNumber(rate * 100.0, locale) + QLatin1Char('%');
}

#include "update/TransferText.h"

#include <cfenv>
#include <cmath>

QString formatAmount(double value, const QLocale &locale)
{
    QLocale grouped = locale;
    // The C locale omits group separators by default; the pattern always groups.
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(value, 'f', 2);
}

QString progressText(qint64 totalSize, qint64 readed, const QLocale &locale)
{
    return QStringLiteral("Total: ") + formatAmount(totalSize / 1024.0 / 1024.0, locale)
        + QStringLiteral(" MB\nRecebido: ") + formatAmount(readed / 1024.0 / 1024.0, locale)
        + QStringLiteral(" MB (") + formatAmount(readed / 1024.0, locale) + QStringLiteral(" KB)");
}

QString speedText(double receivedKB, double previousKB)
{
    const double speed = (receivedKB - previousKB) / 2;
    // nearbyint rounds halves to even in the default rounding mode.
    const int previousMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const auto rounded = static_cast<long long>(std::nearbyint(speed));
    std::fesetround(previousMode);
    return QStringLiteral("Velocidade ") + QString::number(rounded) + QStringLiteral(" KBps");
}

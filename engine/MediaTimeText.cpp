#include "engine/MediaTimeText.h"

#include <algorithm>
#include <cmath>
#include <limits>

QString mediaTimeText(double seconds)
{
    if (std::isnan(seconds))
        return {};
    // Clamp first: a huge or infinite value must not overflow the integer.
    constexpr double longest = double(std::numeric_limits<int>::max());
    const double clamped = std::min(std::max(seconds, 0.0), longest);
    const qint64 whole = qint64(std::floor(clamped));
    return QStringLiteral("%1:%2")
        .arg(whole / 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

#pragma once

#include <QColor>
#include <QFont>

// The look the About and F.A.Q. windows share with the rest of the player:
// small Arial text and the player's blue.
namespace AboutStyle
{
inline const QColor Accent { 0x00, 0x00, 0xFF };

inline QFont font(int pixelSize, bool bold = false)
{
    QFont f;
    f.setFamilies(
        { QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans") });
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}
} // namespace AboutStyle

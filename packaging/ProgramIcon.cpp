#include "packaging/ProgramIcon.h"

namespace ProgramIcon
{

QList<int> drawnSizes()
{
    return { 16, 22, 24, 32, 48, 64, 128, 256 };
}

QIcon icon()
{
    QIcon result;
    for (int size : drawnSizes())
        result.addFile(QStringLiteral(":/icons/hicolor/%1x%1/lumivortex.png").arg(size), QSize(size, size));
    return result;
}

} // namespace ProgramIcon

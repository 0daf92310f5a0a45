#include "guide/ProgrammeText.h"

#include "base/PlainText.h"
#include "guide/GuideGridModel.h"

#include <algorithm>

QString ProgrammeText::times(const GuideProgramme &programme)
{
    return GuideGridModel::clock(programme.start) + QChar(0x2013) + GuideGridModel::clock(programme.stop);
}

QString ProgrammeText::fullTitle(const GuideProgramme &programme)
{
    if (programme.subTitle.isEmpty() || programme.subTitle == programme.title)
        return PlainText::line(programme.title);
    return PlainText::line(programme.title + QStringLiteral(": ") + programme.subTitle);
}

QString ProgrammeText::nowLine(const GuideProgramme &programme)
{
    if (!programme.isValid())
        return QString();
    return QStringLiteral("Agora: ") + times(programme) + u' ' + PlainText::line(programme.title);
}

QString ProgrammeText::nextLine(const GuideProgramme &programme)
{
    if (!programme.isValid())
        return QString();
    return QStringLiteral("Depois: ") + times(programme) + u' ' + PlainText::line(programme.title);
}

double ProgrammeText::progress(const GuideProgramme &programme, qint64 when)
{
    if (!programme.isValid())
        return -1;
    return std::clamp(double(when - programme.start) / double(programme.stop - programme.start), 0.0, 1.0);
}

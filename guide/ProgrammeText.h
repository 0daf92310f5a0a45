#pragma once

#include "guide/GuideStore.h"

#include <QString>

// How a programme is said in one line: "Agora: 20:30–21:15 Jornal Nacional",
// "Depois: 21:15–22:00 Novela", in the machine's local time. Titles are cut
// to one line (PlainText::line); they are shown as plain text.
namespace ProgrammeText
{
QString times(const GuideProgramme &programme); // "20:30–21:15"
QString nowLine(const GuideProgramme &programme);
QString nextLine(const GuideProgramme &programme);
// The title with its sub-title: "Série: Episódio".
QString fullTitle(const GuideProgramme &programme);
// How much of the programme has run at when, 0..1; -1 when it is invalid.
double progress(const GuideProgramme &programme, qint64 when);
} // namespace ProgrammeText

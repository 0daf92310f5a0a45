#pragma once

#include <QLoggingCategory>

// One category per layer. Debug and info messages are off unless asked for
// (--verbose or QT_LOGGING_RULES="lumi.*=true"), so a run where all is well
// prints nothing; warnings say that something the user wanted failed.
Q_DECLARE_LOGGING_CATEGORY(lumiBase)
Q_DECLARE_LOGGING_CATEGORY(lumiNet)
Q_DECLARE_LOGGING_CATEGORY(lumiEngine)
Q_DECLARE_LOGGING_CATEGORY(lumiLists)
Q_DECLARE_LOGGING_CATEGORY(lumiPlayback)
Q_DECLARE_LOGGING_CATEGORY(lumiGuide)
Q_DECLARE_LOGGING_CATEGORY(lumiRadio)
Q_DECLARE_LOGGING_CATEGORY(lumiRecording)
Q_DECLARE_LOGGING_CATEGORY(lumiApp)

namespace Logging
{
// Turns on every message of every lumi category (--verbose).
void enableVerbose();
} // namespace Logging

#include "base/Logging.h"

Q_LOGGING_CATEGORY(lumiBase, "lumi.base", QtWarningMsg)
Q_LOGGING_CATEGORY(lumiNet, "lumi.net", QtWarningMsg)
Q_LOGGING_CATEGORY(lumiEngine, "lumi.engine", QtWarningMsg)
Q_LOGGING_CATEGORY(lumiLists, "lumi.lists", QtWarningMsg)
Q_LOGGING_CATEGORY(lumiPlayback, "lumi.playback", QtWarningMsg)
Q_LOGGING_CATEGORY(lumiGuide, "lumi.guide", QtWarningMsg)
Q_LOGGING_CATEGORY(lumiRadio, "lumi.radio", QtWarningMsg)
Q_LOGGING_CATEGORY(lumiRecording, "lumi.recording", QtWarningMsg)
Q_LOGGING_CATEGORY(lumiApp, "lumi.app", QtWarningMsg)

void Logging::enableVerbose()
{
    QLoggingCategory::setFilterRules(QStringLiteral("lumi.*=true"));
}

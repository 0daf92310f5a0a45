#include "options/KeptOptions.h"

#include <QStandardPaths>

namespace
{
const QString SwitchSourcesKey = QStringLiteral("playback/switchSourcesAlone");
}

QString KeptOptions::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QStringLiteral("/options.ini");
}

KeptOptions::KeptOptions(const QString &path)
    : m_settings(path, QSettings::IniFormat)
{
}

bool KeptOptions::switchSourcesAlone() const
{
    return m_settings.value(SwitchSourcesKey, true).toBool();
}

void KeptOptions::setSwitchSourcesAlone(bool on)
{
    if (on == switchSourcesAlone())
        return;
    m_settings.setValue(SwitchSourcesKey, on);
    m_settings.sync();
}

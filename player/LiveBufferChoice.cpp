#include "player/LiveBufferChoice.h"

#include <QStandardPaths>
#include <algorithm>

namespace
{
const QString EnabledKey = QStringLiteral("liveBuffer/enabled");
const QString MinutesKey = QStringLiteral("liveBuffer/minutes");

int clampedMinutes(int minutes)
{
    return std::clamp(minutes, LiveBufferChoice::leastMinutes, LiveBufferChoice::mostMinutes);
}
} // namespace

QString LiveBufferChoice::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QStringLiteral("/options.ini");
}

LiveBufferChoice::LiveBufferChoice(const QString &path, QObject *parent)
    : QObject(parent)
    , m_file(path, QSettings::IniFormat)
{
    m_enabled = m_file.value(EnabledKey, true).toBool();
    // A hand-edited file with a word or an absurd figure falls back or is bounded.
    bool number = false;
    const int minutes = m_file.value(MinutesKey, defaultMinutes).toInt(&number);
    m_minutes = number ? clampedMinutes(minutes) : defaultMinutes;
}

void LiveBufferChoice::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    save();
}

void LiveBufferChoice::setMinutes(int minutes)
{
    minutes = clampedMinutes(minutes);
    if (minutes == m_minutes)
        return;
    m_minutes = minutes;
    save();
}

LiveBufferSettings LiveBufferChoice::settings() const
{
    LiveBufferSettings settings;
    settings.enabled = m_enabled;
    settings.seconds = m_minutes * 60;
    return settings;
}

void LiveBufferChoice::save()
{
    m_file.setValue(EnabledKey, m_enabled);
    m_file.setValue(MinutesKey, m_minutes);
    m_file.sync();
    emit changed();
}

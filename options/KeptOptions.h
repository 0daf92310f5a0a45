#pragma once

#include <QSettings>
#include <QString>

// The options kept across runs, in "options.ini" of the per-user config
// folder. Only a change is written: a run that changes nothing leaves no file.
class KeptOptions
{
public:
    static QString defaultPath();
    explicit KeptOptions(const QString &path = defaultPath());

    // "Trocar de fonte sozinho quando um canal cair"; on unless turned off.
    bool switchSourcesAlone() const;
    void setSwitchSourcesAlone(bool on);

private:
    QSettings m_settings;
};

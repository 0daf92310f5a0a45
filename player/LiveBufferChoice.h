#pragma once

#include "engine/LiveRewind.h"

#include <QObject>
#include <QSettings>
#include <QString>

// How much of a live channel is kept for pause and rewind: the options
// window's "Guardar até N minutos da transmissão" (on, 60 minutes unless the
// user chose otherwise), kept across runs in an INI file. The bounds on disk
// (4 GB at most, 2 GB left free) are the buffer's own and not the user's.
class LiveBufferChoice : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultMinutes = 60;
    static constexpr int leastMinutes = 1;
    static constexpr int mostMinutes = 240;

    // options.ini in the per-user config folder.
    static QString defaultPath();

    explicit LiveBufferChoice(const QString &path = defaultPath(), QObject *parent = nullptr);

    bool enabled() const { return m_enabled; }
    int minutes() const { return m_minutes; }
    void setEnabled(bool enabled);
    // Clamped to leastMinutes..mostMinutes.
    void setMinutes(int minutes);
    // What the engine is given.
    LiveBufferSettings settings() const;

signals:
    void changed();

private:
    void save();

    QSettings m_file;
    bool m_enabled = true;
    int m_minutes = defaultMinutes;
};

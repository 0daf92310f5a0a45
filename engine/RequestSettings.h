#pragma once

#include "engine/RecordingSource.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QString>

// How the streams of each address are requested: the user agent and
// referrer its list gave it, and whether HTTPS certificates are checked.
// Playlist entries opened from an address are requested as the address is.
class RequestSettings
{
public:
    // Both empty: the engine's defaults again.
    void setHeaders(const QString &address, const QString &userAgent, const QString &referrer);
    // The user agent (empty: the default) and the referrer.
    QPair<QString, QString> headers(const QString &address) const { return m_headers.value(address); }
    void setAcceptInvalidCertificates(const QString &address, bool accept);
    bool checksCertificates(const QString &address) const
    {
        return !m_acceptInvalidCertificates.contains(address);
    }
    RecordingSource recordingSource(const QString &address) const;

private:
    QHash<QString, QPair<QString, QString>> m_headers; // address -> user agent, referrer
    QSet<QString> m_acceptInvalidCertificates; // addresses whose streams skip the check
};

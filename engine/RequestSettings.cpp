#include "engine/RequestSettings.h"

void RequestSettings::setHeaders(const QString &address, const QString &userAgent, const QString &referrer)
{
    if (userAgent.isEmpty() && referrer.isEmpty())
        m_headers.remove(address);
    else
        m_headers.insert(address, { userAgent, referrer });
}

void RequestSettings::setAcceptInvalidCertificates(const QString &address, bool accept)
{
    if (accept)
        m_acceptInvalidCertificates.insert(address);
    else
        m_acceptInvalidCertificates.remove(address);
}

RecordingSource RequestSettings::recordingSource(const QString &address) const
{
    RecordingSource source;
    source.address = address;
    const QPair<QString, QString> headers = m_headers.value(address);
    source.userAgent = headers.first;
    source.referrer = headers.second;
    source.verifyCertificates = checksCertificates(address);
    return source;
}

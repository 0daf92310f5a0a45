#pragma once

#include <QFile>
#include <QString>

// The media files and pages the build makes for the tests, and how much
// slower the real engine runs under the address sanitizer.
namespace Fixtures
{

// libav's demuxing and probing run several times slower under AddressSanitizer.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int slowdown = 3;
#else
inline constexpr int slowdown = 1;
#endif

inline QString path(const QString &name)
{
    return qEnvironmentVariable("LUMI_FIXTURE_DIR") + QLatin1Char('/') + name;
}

inline QByteArray bytes(const QString &name)
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

} // namespace Fixtures

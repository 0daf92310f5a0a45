#pragma once

#include "guide/GuideGridModel.h"
#include "guide/XmlTvReader.h"

#include <QBuffer>

// Small guides for the grid's tests: channels whose programmes run
// back to back around a given time.
namespace GuideFixtures
{
// Programmes of lengthMinutes from now - 3 h to now + 6 h, titled "<channel> <n>".
inline QByteArray schedule(const QByteArray &channel, qint64 now, int lengthMinutes)
{
    QByteArray xml;
    const qint64 first = now / 3600 * 3600 - 3 * 3600;
    int n = 0;
    for (qint64 t = first; t < now + 6 * 3600; t += lengthMinutes * 60, ++n) {
        const auto stamp = [](qint64 when) {
            return QDateTime::fromSecsSinceEpoch(when, Qt::UTC)
                       .toString(QStringLiteral("yyyyMMddHHmmss"))
                       .toLatin1()
                + " +0000";
        };
        xml += "<programme start=\"" + stamp(t) + "\" stop=\"" + stamp(t + lengthMinutes * 60)
            + "\" channel=\"" + channel + "\"><title>" + channel + " " + QByteArray::number(n)
            + "</title></programme>";
    }
    return xml;
}

inline std::shared_ptr<const GuideStore> store(const QByteArray &body, qint64 now)
{
    QByteArray xml = "<tv>" + body + "</tv>";
    QBuffer buffer(&xml);
    buffer.open(QIODevice::ReadOnly);
    GuideReadOptions options;
    options.now = now;
    options.wanted = WantedChannels::everything();
    return std::shared_ptr<const GuideStore>(XmlTvReader::read(&buffer, options).store);
}

inline ListChannel entry(const QString &name, const QString &tvgId, const QString &group = QString())
{
    ListChannel c;
    c.name = c.title = name;
    c.tvgId = tvgId;
    c.group = group;
    c.address = QStringLiteral("https://cdn.test/") + tvgId;
    return c;
}
} // namespace GuideFixtures

#pragma once

#include <QString>
#include <QStringList>

// One channel entry of a channel list (M3U), as the lists window shows it and
// the engine plays it. Lists hold them packed (ListChannels).
struct ListChannel {
    QString name; // as written after the "#EXTINF" comma: "Band (1080p) [Geo-blocked]"
    QString title; // the name without its tags: "Band"
    QStringList tags; // "1080p", "Geo-blocked", "Ⓨ", in the order written
    QString tvgId; // "Band.br"; often empty
    QString tvgName;
    QString logo; // tvg-logo address
    QString group; // group-title, or the "#EXTGRP" before the entry
    QString address; // absolute; relative ones were resolved against the list's own address
    QString userAgent; // user-agent / http-user-agent attribute or "#EXTVLCOPT:http-user-agent"
    QString referrer; // http-referrer attribute or "#EXTVLCOPT:http-referrer"
    QString status; // "online", "blocked", "timeout", "error", ...; empty when the list says nothing

    bool isOnline() const { return isOnlineStatus(status); }
    // Lists without a status attribute say nothing against their entries.
    static bool isOnlineStatus(const QString &status)
    {
        return status.isEmpty() || status.compare(QLatin1String("online"), Qt::CaseInsensitive) == 0;
    }

    bool operator==(const ListChannel &o) const
    {
        return name == o.name && title == o.title && tags == o.tags && tvgId == o.tvgId
            && tvgName == o.tvgName && logo == o.logo && group == o.group && address == o.address
            && userAgent == o.userAgent && referrer == o.referrer && status == o.status;
    }
    bool operator!=(const ListChannel &o) const { return !(*this == o); }
};
Q_DECLARE_TYPEINFO(ListChannel, Q_RELOCATABLE_TYPE);

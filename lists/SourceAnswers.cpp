#include "lists/SourceAnswers.h"

#include <QList>
#include <QUrl>
#include <algorithm>
#include <iterator>

namespace
{
const char *const Words[] = { "unknown", "playing", "dead", "blocked", "login" };
} // namespace

SourceHealth SourceAnswers::classified(int httpStatus, bool bytesArrived)
{
    if (httpStatus == 401 || httpStatus == 407)
        return SourceHealth::NeedsLogin;
    if (httpStatus == 403 || httpStatus == 451)
        return SourceHealth::Blocked;
    if (httpStatus >= 200 && httpStatus < 300 && bytesArrived)
        return SourceHealth::Playing;
    return SourceHealth::Dead;
}

bool SourceAnswers::looksLikePlaylist(const QByteArray &firstBytes, const QByteArray &contentType)
{
    if (contentType.toLower().contains("mpegurl"))
        return true;
    QByteArrayView start(firstBytes);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.sliced(3);
    return start.trimmed().startsWith("#EXTM3U");
}

QString SourceAnswers::nextInPlaylist(const QByteArray &playlist, const QString &playlistAddress)
{
    const QUrl base(playlistAddress);
    for (const QByteArray &raw : playlist.split('\n')) {
        const QByteArray line = raw.trimmed();
        // Tags and comments; the first address is a master playlist's first
        // variant or a media playlist's first segment, either way the next step.
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QUrl next = base.resolved(QUrl::fromEncoded(line, QUrl::TolerantMode));
        return next.isValid() ? next.toString() : QString();
    }
    return {};
}

const char *SourceAnswers::wordOf(SourceHealth health)
{
    return Words[int(health)];
}

QByteArray SourceAnswers::written(const Results &results)
{
    QByteArray text;
    for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
        text += wordOf(it->health);
        text += '\t';
        text += QByteArray::number(it->checkedAt);
        text += '\t';
        text += it.key().toUtf8();
        text += '\n';
    }
    return text;
}

SourceAnswers::Results SourceAnswers::read(const QByteArray &text, int maxResults)
{
    Results results;
    for (const QByteArray &line : text.split('\n')) {
        if (results.size() >= maxResults)
            break;
        const qsizetype first = line.indexOf('\t');
        const qsizetype second = first < 0 ? -1 : line.indexOf('\t', first + 1);
        if (second < 0)
            continue;
        const QByteArray word = line.first(first);
        int health = -1;
        for (int h = 0; h < int(std::size(Words)); ++h)
            if (word == Words[h])
                health = h;
        bool ok = false;
        const qint64 when = line.sliced(first + 1, second - first - 1).toLongLong(&ok);
        const QString address = QString::fromUtf8(line.sliced(second + 1));
        // No address holds a control character: such a line was not written by us.
        if (health < 0 || !ok || address.isEmpty()
            || std::any_of(address.cbegin(), address.cend(), [](QChar c) { return c.unicode() < 0x20; }))
            continue;
        results.insert(address, { SourceHealth(health), when });
    }
    return results;
}

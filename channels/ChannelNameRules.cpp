#include "channels/ChannelNameRules.h"

namespace
{

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "720p", "1080i", "1080p50", "4K", "8k".
bool isResolution(QStringView text)
{
    if (text.size() == 2 && (text[0] == u'4' || text[0] == u'8') && (text[1] == u'K' || text[1] == u'k'))
        return true;
    qsizetype digits = 0;
    while (digits < text.size() && isDigit(text[digits]))
        ++digits;
    if (digits < 3 || digits > 4 || digits >= text.size())
        return false;
    const QChar scan = text[digits].toLower();
    if (scan != u'p' && scan != u'i')
        return false;
    const QStringView rate = text.sliced(digits + 1);
    if (rate.isEmpty())
        return true;
    if (rate.size() > 3)
        return false;
    for (const QChar c : rate) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

// Enclosed letters and digits ("Ⓨ", "Ⓖ", "🅷") and flags: length of the mark at i, or 0.
qsizetype markAt(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    if (c >= 0x2460 && c <= 0x24FF)
        return 1;
    if (c == 0xD83C && i + 1 < text.size()) {
        const char16_t low = text[i + 1].unicode();
        if (low >= 0xDD00 && low <= 0xDDFF) // U+1F100..U+1F1FF
            return 2;
    }
    return 0;
}

} // namespace

QString ChannelNameRules::folded(QStringView text)
{
    QString decomposed;
    QStringView source = text;
    if (!isAscii(text)) {
        decomposed = text.toString().normalized(QString::NormalizationForm_KD);
        source = decomposed;
    }
    QString out;
    out.reserve(source.size());
    bool blank = false;
    for (const QChar c : source) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            if (u == u' ' || u == u'\t' || u == u'\n' || u == u'\r') {
                blank = !out.isEmpty();
                continue;
            }
            if (blank) {
                out += u' ';
                blank = false;
            }
            out += (u >= u'A' && u <= u'Z') ? QChar(char16_t(u + 32)) : c;
            continue;
        }
        if (c.isSpace()) {
            blank = !out.isEmpty();
            continue;
        }
        if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_Enclosing)
            continue;
        if (blank) {
            out += u' ';
            blank = false;
        }
        out += c.toCaseFolded();
    }
    return out;
}

TaggedName ChannelNameRules::splitTags(QStringView name)
{
    TaggedName result;
    QString title;
    title.reserve(name.size());
    for (qsizetype i = 0; i < name.size();) {
        const QChar c = name[i];
        if (c == u'[') {
            const qsizetype close = name.indexOf(u']', i + 1);
            if (close > i) {
                const QStringView tag = name.sliced(i + 1, close - i - 1).trimmed();
                if (!tag.isEmpty())
                    result.tags.append(tag.toString());
                title += u' ';
                i = close + 1;
                continue;
            }
        } else if (c == u'(') {
            const qsizetype close = name.indexOf(u')', i + 1);
            const QStringView inside
                = close > i ? name.sliced(i + 1, close - i - 1).trimmed() : QStringView();
            if (close > i && isResolution(inside)) {
                result.tags.append(inside.toString());
                title += u' ';
                i = close + 1;
                continue;
            }
        } else if (const qsizetype length = markAt(name, i)) {
            result.tags.append(name.sliced(i, length).toString());
            title += u' ';
            i += length;
            continue;
        }
        title += c;
        ++i;
    }
    result.title = title.simplified();
    if (result.title.isEmpty())
        result.title = name.trimmed().toString();
    return result;
}

QString ChannelNameRules::matchKey(QStringView name)
{
    const QString plain = folded(splitTags(name).title);
    QString key;
    key.reserve(plain.size());
    for (const QChar c : plain) {
        if (c.unicode() < 0x80 ? ((c >= u'a' && c <= u'z') || isDigit(c)) : c.isLetterOrNumber())
            key += c;
    }
    return key;
}

QString ChannelNameRules::tvgIdKey(QStringView tvgId)
{
    QStringView id = tvgId.trimmed();
    const qsizetype feed = id.indexOf(u'@');
    if (feed >= 0)
        id = id.left(feed);
    const qsizetype dot = id.lastIndexOf(u'.');
    if (dot > 0 && id.size() - dot == 3 && id[dot + 1].isLetter() && id[dot + 2].isLetter())
        id = id.left(dot);
    return matchKey(id);
}

#include "lists/ChannelNameRules.h"

namespace
{

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

// Base letters of the accented Latin-1 letters U+00C0..U+00FF; 0 where
// folding only changes the case (Æ, Ð, ×, Ø, Þ, ß, ...).
constexpr char Latin1Base[65] = "aaaaaa\0ceeeeiiii\0nooooo\0\0uuuuy\0\0aaaaaa\0ceeeeiiii\0nooooo\0\0uuuuy\0y";

bool foldsFast(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 && (c.unicode() < 0xC0 || c.unicode() > 0xFF))
            return false;
    }
    return true;
}

// Folds text into out; keyOnly keeps letters and digits alone. Names in
// Portuguese only need the Latin-1 table; anything else is decomposed first.
void appendFolded(QStringView text, QString &out, bool keyOnly)
{
    QString decomposed;
    const bool fast = foldsFast(text);
    if (!fast) {
        decomposed = text.toString().normalized(QString::NormalizationForm_KD);
        text = decomposed;
    }
    bool blank = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        QChar folded;
        if (u < 0x80) {
            if (u >= u'A' && u <= u'Z')
                folded = QChar(char16_t(u + 32));
            else if ((u >= u'a' && u <= u'z') || isDigit(c))
                folded = c;
            else if (keyOnly)
                continue;
            else if (u == u' ' || u == u'\t' || u == u'\n' || u == u'\r')
                folded = QChar(u' ');
            else
                folded = c;
        } else if (fast) {
            const char base = Latin1Base[u - 0xC0];
            folded = base ? QChar(char16_t(base)) : c.toCaseFolded();
            if (keyOnly && !folded.isLetterOrNumber())
                continue;
        } else {
            const QChar::Category category = c.category();
            if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing)
                continue;
            if (keyOnly && !c.isLetterOrNumber())
                continue;
            folded = c.isSpace() ? QChar(u' ') : c.toCaseFolded();
        }
        if (folded == u' ') {
            blank = !out.isEmpty();
            continue;
        }
        if (blank) {
            out += u' ';
            blank = false;
        }
        out += folded;
    }
}

bool mayHoldTags(QStringView name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == u'[' || name[i] == u'(' || markAt(name, i))
            return true;
    }
    return false;
}

} // namespace

QString ChannelNameRules::folded(QStringView text)
{
    QString out;
    out.reserve(text.size());
    appendFolded(text, out, false);
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
    QString key;
    key.reserve(name.size());
    if (mayHoldTags(name))
        appendFolded(splitTags(name).title, key, true);
    else
        appendFolded(name, key, true);
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

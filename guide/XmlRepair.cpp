#include "guide/XmlRepair.h"

#include <cstring>

namespace
{

constexpr qsizetype LongestEntity = 40;

// HTML's names for the Latin-1 characters U+00A0..U+00FF, in order.
const char *const Latin1Names[96] = { "nbsp", "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect",
    "uml", "copy", "ordf", "laquo", "not", "shy", "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute",
    "micro", "para", "middot", "cedil", "sup1", "ordm", "raquo", "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc", "Atilde", "Auml", "Aring", "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc",
    "Euml", "Igrave", "Iacute", "Icirc", "Iuml", "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde",
    "Ouml", "times", "Oslash", "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", "agrave",
    "aacute", "acirc", "atilde", "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc", "euml",
    "igrave", "iacute", "icirc", "iuml", "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml",
    "divide", "oslash", "ugrave", "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml" };

struct NamedCharacter {
    const char *name;
    int code;
};
const NamedCharacter OtherNames[] = { { "ndash", 0x2013 }, { "mdash", 0x2014 }, { "lsquo", 0x2018 },
    { "rsquo", 0x2019 }, { "sbquo", 0x201A }, { "ldquo", 0x201C }, { "rdquo", 0x201D }, { "bdquo", 0x201E },
    { "hellip", 0x2026 }, { "bull", 0x2022 }, { "euro", 0x20AC }, { "trade", 0x2122 }, { "oelig", 0x0153 },
    { "OElig", 0x0152 }, { "Scaron", 0x0160 }, { "scaron", 0x0161 } };

int htmlEntity(QByteArrayView name)
{
    for (int i = 0; i < 96; ++i) {
        if (name == QByteArrayView(Latin1Names[i]))
            return 0xA0 + i;
    }
    for (const NamedCharacter &named : OtherNames) {
        if (name == QByteArrayView(named.name))
            return named.code;
    }
    return -1;
}

bool isXmlCharacter(qint64 code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
        || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

bool isNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool isControl(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

} // namespace

qsizetype XmlRepair::entity(QByteArrayView input, qsizetype at, bool atEnd, QByteArray &out)
{
    const qsizetype available = input.size() - at;
    const qsizetype limit = qMin(available, LongestEntity);
    qsizetype semicolon = -1;
    for (qsizetype i = 1; i < limit; ++i) {
        const char c = input[at + i];
        if (c == ';') {
            semicolon = i;
            break;
        }
        if (!isNameChar(c) && c != '#')
            break;
    }
    if (semicolon < 0 && !atEnd && available < LongestEntity) {
        bool couldGrow = true;
        for (qsizetype i = 1; i < available && couldGrow; ++i)
            couldGrow = isNameChar(input[at + i]) || input[at + i] == '#';
        if (couldGrow)
            return 0;
    }
    const QByteArrayView body = semicolon > 1 ? input.sliced(at + 1, semicolon - 1) : QByteArrayView();
    if (!body.isEmpty() && body[0] == '#') {
        const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        const QByteArrayView digits = body.sliced(hex ? 2 : 1);
        bool ok = !digits.isEmpty() && digits.size() <= 8;
        const qint64 code = ok ? QByteArray(digits.data(), digits.size()).toLongLong(&ok, hex ? 16 : 10) : 0;
        if (ok && isXmlCharacter(code)) {
            out.append(input.sliced(at, semicolon + 1));
        } else {
            out.append("&#xFFFD;");
            ++m_entities;
        }
        return semicolon + 1;
    }
    if (!body.isEmpty() && isNameStart(body[0])) {
        static const char *const predefined[] = { "amp", "lt", "gt", "quot", "apos" };
        for (const char *name : predefined) {
            if (body == QByteArrayView(name)) {
                out.append(input.sliced(at, semicolon + 1));
                return semicolon + 1;
            }
        }
        const int code = htmlEntity(body);
        if (code > 0) {
            out.append("&#" + QByteArray::number(code) + ';');
            ++m_entities;
            return semicolon + 1;
        }
    }
    // A bare "&": whatever followed it is text.
    out.append("&amp;");
    ++m_entities;
    return 1;
}

void XmlRepair::process(QByteArrayView input, bool atEnd, QByteArray &out)
{
    const qsizetype n = input.size();
    const char *data = input.data();
    qsizetype i = 0;
    while (i < n) {
        if (m_state == State::Dropping) {
            const void *found = std::memchr(data + i, '<', size_t(n - i));
            if (!found) {
                i = n;
                break;
            }
            i = static_cast<const char *>(found) - data;
            m_state = State::Markup;
            m_run = 0;
            continue;
        }
        if (m_state == State::Cdata) {
            // Past the longest run, the rest of the section is dropped up to its "]]>".
            const bool keep = m_run <= MaxRunBytes;
            const qsizetype start = i;
            while (i < n && data[i] != ']' && !isControl(data[i]))
                ++i;
            if (keep) {
                out.append(data + start, i - start);
                m_run += i - start;
                if (m_run > MaxRunBytes)
                    ++m_runsCut;
            }
            if (i >= n)
                break;
            if (isControl(data[i])) {
                if (keep)
                    out.append(' ');
                ++i;
            } else if (i + 2 < n || atEnd) {
                const bool closes = i + 2 < n && data[i + 1] == ']' && data[i + 2] == '>';
                if (closes || keep)
                    out.append(data + i, closes ? 3 : 1);
                i += closes ? 3 : 1;
                if (closes) {
                    m_state = State::Markup;
                    m_run = 0;
                }
            } else {
                m_carry = QByteArray(data + i, n - i);
                return;
            }
            continue;
        }
        // Markup and text: copy up to the next byte that needs a look.
        const qsizetype start = i;
        while (i < n) {
            const char c = data[i];
            if (c == '<' || c == '&' || isControl(c))
                break;
            ++i;
        }
        out.append(data + start, i - start);
        m_run += i - start;
        if (m_run > MaxRunBytes) {
            ++m_runsCut;
            m_state = State::Dropping;
            continue;
        }
        if (i >= n)
            break;
        const char c = data[i];
        if (c == '<') {
            static const char opener[] = "<![CDATA[";
            const qsizetype want = qsizetype(sizeof(opener) - 1);
            if (n - i < want && !atEnd && std::memcmp(data + i, opener, size_t(n - i)) == 0) {
                m_carry = QByteArray(data + i, n - i);
                return;
            }
            m_run = 0;
            if (n - i >= want && std::memcmp(data + i, opener, size_t(want)) == 0) {
                out.append(data + i, want);
                i += want;
                m_state = State::Cdata;
            } else {
                out.append('<');
                ++i;
            }
        } else if (c == '&') {
            const qsizetype used = entity(input, i, atEnd, out);
            if (used == 0) {
                m_carry = QByteArray(data + i, n - i);
                return;
            }
            i += used;
        } else {
            out.append(' ');
            ++i;
        }
    }
}

void XmlRepair::feed(QByteArrayView input, bool atEnd, QByteArray &out)
{
    if (m_passThrough) {
        out.append(input);
        return;
    }
    if (m_carry.isEmpty()) {
        process(input, atEnd, out);
        return;
    }
    QByteArray joined = m_carry;
    m_carry.clear();
    joined.append(input);
    process(joined, atEnd, out);
}

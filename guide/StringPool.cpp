#include "guide/StringPool.h"

StringPool::StringPool()
    : m_offsets { 0, 0 }
    , m_hashes { 0 }
{
}

quint32 StringPool::hashOf(QByteArrayView utf8)
{
    // FNV-1a: the texts are short and the table only needs a fair spread.
    quint32 hash = 2166136261u;
    for (const char c : utf8) {
        hash ^= quint8(c);
        hash *= 16777619u;
    }
    return hash;
}

void StringPool::rebuildTable(size_t capacity)
{
    if (m_hashes.size() != count()) {
        m_hashes.assign(count(), 0);
        for (quint32 id = 1; id < count(); ++id)
            m_hashes[id] = hashOf(utf8(id));
    }
    m_table.assign(capacity, 0);
    const size_t mask = capacity - 1;
    for (quint32 id = 1; id < count(); ++id) {
        size_t slot = m_hashes[id] & mask;
        while (m_table[slot])
            slot = (slot + 1) & mask;
        m_table[slot] = id + 1;
    }
}

quint32 StringPool::add(QStringView text)
{
    if (text.isEmpty())
        return Empty;
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        m_scratch.resize(text.size());
        char *out = m_scratch.data();
        for (const QChar c : text)
            *out++ = char(c.unicode());
    } else {
        m_scratch = text.toUtf8();
    }
    return addUtf8(m_scratch);
}

quint32 StringPool::addUtf8(QByteArrayView utf8)
{
    if (utf8.isEmpty())
        return Empty;
    if (m_table.empty() || (count() + 1) * 2 > m_table.size())
        rebuildTable(std::max<size_t>(1024, m_table.size() * 2));
    const quint32 hash = hashOf(utf8);
    const size_t mask = m_table.size() - 1;
    size_t slot = hash & mask;
    while (const quint32 held = m_table[slot]) {
        const quint32 id = held - 1;
        if (m_hashes[id] == hash && this->utf8(id) == utf8)
            return id;
        slot = (slot + 1) & mask;
    }
    const quint32 id = count();
    m_bytes.insert(m_bytes.end(), utf8.begin(), utf8.end());
    m_offsets.push_back(quint32(m_bytes.size()));
    m_hashes.push_back(hash);
    m_table[slot] = id + 1;
    return id;
}

void StringPool::finish()
{
    std::vector<quint32>().swap(m_table);
    std::vector<quint32>().swap(m_hashes);
    m_bytes.shrink_to_fit();
    m_offsets.shrink_to_fit();
    m_scratch = QByteArray();
}

QByteArrayView StringPool::utf8(quint32 id) const
{
    if (id >= count())
        return {};
    return QByteArrayView(m_bytes.data() + m_offsets[id], qsizetype(m_offsets[id + 1] - m_offsets[id]));
}

QString StringPool::text(quint32 id) const
{
    return QString::fromUtf8(utf8(id));
}

bool StringPool::adopt(std::vector<char> bytes, std::vector<quint32> offsets)
{
    *this = StringPool();
    if (offsets.empty() || offsets.front() != 0 || offsets.back() != bytes.size())
        return false;
    for (size_t i = 1; i < offsets.size(); ++i) {
        if (offsets[i] < offsets[i - 1])
            return false;
    }
    // Id 0 is the empty text wherever the pool came from.
    if (offsets.size() < 2 || offsets[1] != 0)
        return false;
    m_bytes = std::move(bytes);
    m_offsets = std::move(offsets);
    return true;
}

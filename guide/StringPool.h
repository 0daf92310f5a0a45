#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <vector>

// Texts of a guide kept once each, as UTF-8, addressed by a 32-bit id: a
// programme's title or a show's description repeats hundreds of times in a
// week. Id 0 is the empty text. Adding dedupes through a hash table that
// finish() drops, so a pool that only answers costs its texts and one offset each.
class StringPool
{
public:
    static constexpr quint32 Empty = 0;

    StringPool();

    // The id of text, added when new. Empty text is Empty.
    quint32 add(QStringView text);
    quint32 addUtf8(QByteArrayView utf8);
    // Frees the dedupe table; add() rebuilds it when called again.
    void finish();

    quint32 count() const { return quint32(m_offsets.size() - 1); }
    qsizetype byteSize() const { return qsizetype(m_bytes.size()); }
    QString text(quint32 id) const;
    QByteArrayView utf8(quint32 id) const;

    // The raw parts, for the cache file.
    const std::vector<char> &bytes() const { return m_bytes; }
    const std::vector<quint32> &offsets() const { return m_offsets; }
    // Adopts parts read back; false (and the pool left empty) unless the
    // offsets start at 0, never fall and end at the byte count.
    bool adopt(std::vector<char> bytes, std::vector<quint32> offsets);

private:
    void rebuildTable(size_t capacity);
    static quint32 hashOf(QByteArrayView utf8);

    std::vector<char> m_bytes;
    std::vector<quint32> m_offsets; // count() + 1 entries: text i is [offsets[i], offsets[i+1])
    std::vector<quint32> m_table; // open addressing: id + 1, 0 when free
    std::vector<quint32> m_hashes; // per id, while the table lives
    QByteArray m_scratch;
};

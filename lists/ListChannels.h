#pragma once

#include "lists/ListChannel.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <initializer_list>
#include <iterator>
#include <memory>

// The channels of channel lists, packed: the public lists hold 10,000 to
// 100,000 entries, and a ListChannel of eleven strings costs some 850 bytes
// where its text is 150. Here every field of every channel is UTF-8 back to
// back in a few large blocks, with the offsets beside it: about 200 bytes a
// channel. A channel is made whole only when asked for (at()); field() reads
// one field alone. Copies and concatenations share the blocks, so handing the
// channels of every list around costs nothing; a block is never changed once
// shared, so copies may go to other threads.
class ListChannels
{
public:
    enum Field : quint8 {
        Name,
        Title,
        Tags,
        TvgId,
        TvgName,
        Logo,
        Group,
        Address,
        UserAgent,
        Referrer,
        Status
    };
    static constexpr int FieldCount = Status + 1;

    ListChannels() = default;
    ListChannels(std::initializer_list<ListChannel> channels);
    ListChannels(const QVector<ListChannel> &channels); // packs them

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    ListChannel at(qsizetype i) const;
    ListChannel operator[](qsizetype i) const { return at(i); }
    ListChannel first() const { return at(0); }
    ListChannel last() const { return at(m_size - 1); }
    // One field of channel i, without making the whole channel.
    QString field(qsizetype i, Field field) const;
    QStringList tags(qsizetype i) const;

    void append(const ListChannel &channel);
    ListChannels &operator+=(const ListChannels &other);

    bool operator==(const ListChannels &other) const;
    bool operator!=(const ListChannels &other) const { return !(*this == other); }

    // Walks the channels, each made whole as it is reached.
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ListChannel;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = ListChannel;

        const_iterator(const ListChannels *channels, qsizetype i)
            : m_channels(channels)
            , m_i(i)
        {
        }
        ListChannel operator*() const { return m_channels->at(m_i); }
        const_iterator &operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator==(const const_iterator &o) const { return m_i == o.m_i; }
        bool operator!=(const const_iterator &o) const { return m_i != o.m_i; }

    private:
        const ListChannels *m_channels;
        qsizetype m_i;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, m_size); }

    struct Block;

private:
    // A run of channels held in one block: the first `count` of it.
    struct Part {
        std::shared_ptr<Block> block;
        qsizetype count = 0;
    };

    const Part &partOf(qsizetype i, qsizetype *within) const;

    QVector<Part> m_parts;
    qsizetype m_size = 0;
};
Q_DECLARE_TYPEINFO(ListChannels, Q_RELOCATABLE_TYPE);

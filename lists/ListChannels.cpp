#include "lists/ListChannels.h"

#include <algorithm>

namespace
{
// Between tags; no tag from a list holds a control character.
constexpr char TagSeparator = '\x1f';
// Blocks of this much text: reserved at once, so growing one wastes nothing,
// and a full one is squeezed before the next starts.
constexpr qsizetype BlockBytes = 1024 * 1024;
} // namespace

struct ListChannels::Block {
    QByteArray text;
    QVector<quint32> ends; // FieldCount per channel: where each field ends in text

    qsizetype count() const { return ends.size() / FieldCount; }

    QString field(qsizetype channel, Field field) const
    {
        const qsizetype at = channel * FieldCount + field;
        const quint32 start = at == 0 ? 0 : ends[at - 1];
        return QString::fromUtf8(QByteArrayView(text).sliced(start, ends[at] - start));
    }
};

ListChannels::ListChannels(std::initializer_list<ListChannel> channels)
{
    for (const ListChannel &channel : channels)
        append(channel);
}

ListChannels::ListChannels(const QVector<ListChannel> &channels)
{
    for (const ListChannel &channel : channels)
        append(channel);
}

const ListChannels::Part &ListChannels::partOf(qsizetype i, qsizetype *within) const
{
    Q_ASSERT(i >= 0 && i < m_size);
    // A handful of parts, one for each list at most: a walk is enough.
    for (const Part &part : m_parts) {
        if (i < part.count) {
            *within = i;
            return part;
        }
        i -= part.count;
    }
    Q_UNREACHABLE();
}

QString ListChannels::field(qsizetype i, Field field) const
{
    qsizetype within = 0;
    return partOf(i, &within).block->field(within, field);
}

QStringList ListChannels::tags(qsizetype i) const
{
    const QString tags = field(i, Tags);
    return tags.isEmpty() ? QStringList() : tags.split(QLatin1Char(TagSeparator));
}

ListChannel ListChannels::at(qsizetype i) const
{
    qsizetype within = 0;
    const Block &block = *partOf(i, &within).block;
    ListChannel c;
    c.name = block.field(within, Name);
    c.title = block.field(within, Title);
    const QString tags = block.field(within, Tags);
    if (!tags.isEmpty())
        c.tags = tags.split(QLatin1Char(TagSeparator));
    c.tvgId = block.field(within, TvgId);
    c.tvgName = block.field(within, TvgName);
    c.logo = block.field(within, Logo);
    c.group = block.field(within, Group);
    c.address = block.field(within, Address);
    c.userAgent = block.field(within, UserAgent);
    c.referrer = block.field(within, Referrer);
    c.status = block.field(within, Status);
    return c;
}

void ListChannels::append(const ListChannel &channel)
{
    const QByteArray fields[FieldCount] = { channel.name.toUtf8(), channel.title.toUtf8(),
        channel.tags.join(QLatin1Char(TagSeparator)).toUtf8(), channel.tvgId.toUtf8(),
        channel.tvgName.toUtf8(), channel.logo.toUtf8(), channel.group.toUtf8(), channel.address.toUtf8(),
        channel.userAgent.toUtf8(), channel.referrer.toUtf8(), channel.status.toUtf8() };
    qsizetype bytes = 0;
    for (const QByteArray &field : fields)
        bytes += field.size();
    // A block shared with a copy is never changed.
    Part *last = m_parts.isEmpty() ? nullptr : &m_parts.last();
    const bool shared = last && (last->block.use_count() > 1 || last->count != last->block->count());
    if (!last || shared || last->block->text.size() + bytes > last->block->text.capacity()) {
        if (last && !shared) {
            last->block->text.squeeze();
            last->block->ends.squeeze();
        }
        auto block = std::make_shared<Block>();
        block->text.reserve(std::max(BlockBytes, bytes));
        m_parts.append({ std::move(block), 0 });
        last = &m_parts.last();
    }
    Block &block = *last->block;
    for (const QByteArray &field : fields) {
        block.text += field;
        block.ends.append(quint32(block.text.size()));
    }
    ++last->count;
    ++m_size;
}

ListChannels &ListChannels::operator+=(const ListChannels &other)
{
    for (const Part &part : other.m_parts) {
        if (part.count > 0)
            m_parts.append(part);
    }
    m_size += other.m_size;
    return *this;
}

bool ListChannels::operator==(const ListChannels &other) const
{
    if (m_size != other.m_size)
        return false;
    for (qsizetype i = 0; i < m_size; ++i) {
        if (at(i) != other.at(i))
            return false;
    }
    return true;
}

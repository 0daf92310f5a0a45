#include "playlist/PlaylistStore.h"

#include "base/BoundedRead.h"
#include "base/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <utility>

namespace
{

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

// Leading and trailing blanks and control characters removed.
QString trimmed(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from).toString();
}

bool isHeader(const QString &line)
{
    const QString t = trimmed(line);
    return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'));
}

struct Entry {
    QString key;
    QString value;
    qsizetype equals = -1;
};

// Key and value of an entry line; an empty key when the line is no entry.
Entry parseEntry(const QString &line)
{
    Entry entry;
    entry.equals = line.indexOf(QLatin1Char('='));
    if (entry.equals < 0)
        return entry;
    entry.key = trimmed(QStringView(line).left(entry.equals));
    entry.value = trimmed(QStringView(line).mid(entry.equals + 1));
    return entry;
}

} // namespace

PlaylistStore::PlaylistStore(const QString &fileName)
    : m_fileName(fileName)
{
    load();
}

void PlaylistStore::load()
{
    m_lines.clear();
    m_indexValid = false;
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.size() > MaxFileBytes ? QByteArray() : readBounded(file, MaxFileBytes);
    if (data.size() > MaxFileBytes || file.size() > MaxFileBytes)
        throw IniError(QStringLiteral("O arquivo \"%1\" não foi lido: tem mais de %2 MiB.")
                           .arg(m_fileName)
                           .arg(MaxFileBytes / (1024 * 1024)));
    QByteArrayView rest(data);
    // Every leading mark goes: one kept in the first line would hide its
    // header now and be dropped as the mark by the next load after a rewrite.
    while (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    qsizetype start = 0;
    const qsizetype size = rest.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = rest[i];
        if (c != '\r' && c != '\n')
            continue;
        m_lines << TextDecoding::utf8OrWindows1252(rest.sliced(start, i - start));
        if (c == '\r' && i + 1 < size && rest[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        m_lines << TextDecoding::utf8OrWindows1252(rest.sliced(start));
}

void PlaylistStore::save() const
{
    QByteArray data;
    qsizetype total = 0;
    for (const QString &line : m_lines)
        total += line.size() + 2;
    data.reserve(total + total / 8);
    for (const QString &line : m_lines) {
        data += line.toUtf8();
        data += "\r\n";
    }
    // Written beside the old file and renamed over it: a crash mid-write
    // leaves the old store or the new one, never a cut one.
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        throw IniError(QStringLiteral("Cannot create file \"%1\". %2")
                           .arg(QDir::toNativeSeparators(m_fileName), file.errorString()));
    }
}

int PlaylistStore::findSection(const QString &section) const
{
    const QString header = QLatin1Char('[') + section + QLatin1Char(']');
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].compare(header, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int PlaylistStore::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < m_lines.size() && !isHeader(m_lines[i]))
        ++i;
    return i;
}

void PlaylistStore::ReadSection(const QString &section, QStringList *strings) const
{
    if (!strings)
        throw IniError(QStringLiteral("Param Strings must be assigned"));
    strings->clear();
    const int header = findSection(section);
    if (header < 0)
        return;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Entry entry = parseEntry(m_lines[i]);
        if (!entry.key.isEmpty())
            strings->append(entry.key);
    }
}

QString PlaylistStore::ReadString(
    const QString &section, const QString &key, const QString &defaultValue) const
{
    const int header = findSection(section);
    if (header < 0)
        return defaultValue;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const QString &line = m_lines[i];
        const Entry entry = parseEntry(line);
        if (entry.key.isEmpty() || entry.key != key)
            continue;
        const bool keyInLine = QStringView(line).left(entry.equals).contains(key);
        return keyInLine && !entry.value.isEmpty() ? entry.value : defaultValue;
    }
    return defaultValue;
}

PlaylistStore::SectionIndex &PlaylistStore::indexFor(const QString &section)
{
    if (m_indexValid && m_index.section.compare(section, Qt::CaseInsensitive) == 0)
        return m_index;
    m_index = SectionIndex();
    m_index.section = section;
    m_index.header = findSection(section);
    if (m_index.header >= 0) {
        m_index.end = sectionEnd(m_index.header);
        for (int i = m_index.header + 1; i < m_index.end; ++i) {
            const Entry entry = parseEntry(m_lines[i]);
            if (!entry.key.isEmpty() && !m_index.firstLine.contains(entry.key))
                m_index.firstLine.insert(entry.key, i);
        }
    }
    m_indexValid = true;
    return m_index;
}

QString PlaylistStore::entryProblem(const QString &key, const QString &value)
{
    const auto breaksLine = [](const QString &text) {
        return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    };
    if (breaksLine(key) || breaksLine(value))
        return QStringLiteral("o nome tem uma quebra de linha");
    if (isHeader(key + QLatin1Char('=') + value))
        return QStringLiteral("o nome seria lido como um cabeçalho de seção");
    return QString();
}

void PlaylistStore::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString problem = entryProblem(key, value);
    if (!problem.isEmpty())
        throw IniError(QStringLiteral("\"%1\": %2.").arg(key, problem));

    const QStringList before = m_updating ? QStringList() : m_lines;
    SectionIndex &index = indexFor(section);
    const QString line = key + QLatin1Char('=') + value;
    const QString lineKey = parseEntry(line).key;
    if (index.header < 0) {
        m_lines << QString() << QLatin1Char('[') + section + QLatin1Char(']') << line;
        index.header = int(m_lines.size()) - 2;
        index.end = int(m_lines.size());
        if (!lineKey.isEmpty())
            index.firstLine.insert(lineKey, index.end - 1);
    } else if (const auto found = index.firstLine.constFind(key); found != index.firstLine.cend()) {
        m_lines[*found] = line;
    } else {
        m_lines.insert(index.end, line);
        if (!lineKey.isEmpty() && !index.firstLine.contains(lineKey))
            index.firstLine.insert(lineKey, index.end);
        ++index.end;
    }

    if (m_updating) {
        m_dirty = true;
        return;
    }
    try {
        save();
    } catch (...) {
        // What the store holds in memory stays what the file holds.
        m_lines = before;
        m_indexValid = false;
        throw;
    }
}

void PlaylistStore::BeginUpdate()
{
    m_updating = true;
    m_dirty = false;
    m_linesBeforeUpdate = m_lines;
}

void PlaylistStore::EndUpdate()
{
    m_updating = false;
    const QStringList before = std::exchange(m_linesBeforeUpdate, QStringList());
    if (!m_dirty)
        return;
    m_dirty = false;
    try {
        save();
    } catch (...) {
        m_lines = before;
        m_indexValid = false;
        throw;
    }
}

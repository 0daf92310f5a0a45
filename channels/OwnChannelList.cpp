#include "channels/OwnChannelList.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

namespace
{

QString counted(qsizetype n, const char *singular, const char *plural)
{
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? singular : plural);
}

// Names come from the file: nothing in them may steer the terminal, and a
// long one is cut.
QString shownName(const QString &name)
{
    constexpr qsizetype Longest = 40;
    QString shown;
    for (const QChar c : QStringView(name).left(Longest))
        shown += c.isPrint() ? c : QChar(u'?');
    if (name.size() > Longest)
        shown += QChar(0x2026);
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString refusalText(const ChannelListRead &read)
{
    using R = ChannelListRead::Refusal;
    switch (read.refusal) {
    case R::NotAFile:
        return QString::fromUtf8("não é um arquivo comum");
    case R::Unreadable:
        return QString::fromUtf8("não pôde ser lido (%1)").arg(read.error);
    case R::TooLarge:
        return QString::fromUtf8("é maior que %1 KiB").arg(ChannelListFile::MaxBytes / 1024);
    case R::NotText:
        return QString::fromUtf8("não é texto UTF-8 (tem bytes nulos, de controle ou inválidos)");
    case R::None:
    case R::Missing:
        break;
    }
    return {};
}

} // namespace

QString OwnChannelList::fileName()
{
    return QStringLiteral("channels.m3u");
}

QString OwnChannelList::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/')
        + fileName();
}

QString OwnChannelList::listBoxFor(const QString &control)
{
    return QStringLiteral("ListBox") + control;
}

ChannelListApplied OwnChannelList::apply(
    ChannelCatalogue &catalogue, const QVector<ChannelListEntry> &entries)
{
    ChannelListApplied applied;
    QHash<QString, QString> controlByTitle;
    for (const Channel &channel : catalogue.channels())
        controlByTitle.insert(channel.titleSuffix, channel.control);
    QStringList names; // channel title suffixes in order of first appearance
    QHash<QString, QStringList> addresses;
    QSet<QString> unmatched;
    for (const ChannelListEntry &entry : entries) {
        if (!controlByTitle.contains(entry.name)) {
            if (!unmatched.contains(entry.name)) {
                unmatched.insert(entry.name);
                applied.unmatched.append(entry.name);
            }
            continue;
        }
        QStringList &list = addresses[entry.name];
        if (list.isEmpty())
            names.append(entry.name);
        if (list.size() < MaxAddresses)
            list.append(entry.address);
        else
            ++applied.addressesOverLimit;
    }

    for (const QString &name : qAsConst(names)) {
        const QStringList &list = addresses[name];
        // Copied out: the catalogue's pointers do not survive the changes below.
        const Channel channel = *catalogue.byControl(controlByTitle.value(name));
        catalogue.setAddress(channel.control, list.first());
        if (!channel.alternateList.isEmpty())
            catalogue.setAlternateEntries(channel.alternateList, list);
        else if (list.size() > 1)
            catalogue.addAlternateList(channel.control, listBoxFor(channel.control), list);
        ++applied.channels;
    }
    return applied;
}

QString OwnChannelList::note(
    const QString &path, const ChannelListRead &read, const ChannelListApplied &applied)
{
    const QString start = QStringLiteral("lumivortex: ") + QDir::toNativeSeparators(path) + QLatin1Char(' ');
    if (read.refusal == ChannelListRead::Refusal::Missing)
        return {};
    if (read.refusal != ChannelListRead::Refusal::None)
        return start
            + QString::fromUtf8("não foi usado: %1; os canais ficam com os endereços de fábrica.")
                  .arg(refusalText(read));

    QStringList unused;
    if (read.overlongLines > 0)
        unused << counted(read.overlongLines, "linha longa demais", "linhas longas demais")
                + QString::fromUtf8(" (mais de %1 bytes)").arg(ChannelListFile::MaxLineLength);
    if (read.entriesWithoutName > 0)
        unused << counted(read.entriesWithoutName, "#EXTINF sem nome depois da vírgula",
            "#EXTINF sem nome depois da vírgula");
    if (read.entriesWithoutAddress > 0)
        unused << counted(read.entriesWithoutAddress, "#EXTINF sem endereço", "#EXTINF sem endereço");
    if (read.addressesWithoutEntry > 0)
        unused << counted(read.addressesWithoutEntry, "endereço sem #EXTINF", "endereços sem #EXTINF");
    if (read.entriesPastLimit > 0)
        unused << counted(
            read.entriesPastLimit, "entrada além das primeiras %1", "entradas além das primeiras %1")
                      .arg(ChannelListFile::MaxEntries);
    if (applied.addressesOverLimit > 0)
        unused << counted(applied.addressesOverLimit, "endereço além de %1 para um canal",
            "endereços além de %1 para um canal")
                      .arg(MaxAddresses);
    if (!applied.unmatched.isEmpty()) {
        QStringList shown;
        for (const QString &name : applied.unmatched.mid(0, NamesShown))
            shown << shownName(name);
        QString names = shown.join(QStringLiteral(", "));
        if (applied.unmatched.size() > NamesShown)
            names += QStringLiteral(" e mais %1").arg(applied.unmatched.size() - NamesShown);
        unused << counted(applied.unmatched.size(), "nome que não é de nenhum canal",
                      "nomes que não são de nenhum canal")
                + QStringLiteral(" (") + names + QLatin1Char(')');
    }

    QStringList parts;
    if (read.headerMissing)
        parts << QString::fromUtf8("não começa com #EXTM3U, lido assim mesmo");
    if (!unused.isEmpty())
        parts << QString::fromUtf8("não usados: ") + unused.join(QStringLiteral(", "));
    if (applied.channels == 0)
        parts << QString::fromUtf8("nenhum canal mudou de endereço");
    if (parts.isEmpty())
        return {};
    return start + parts.join(QStringLiteral("; ")) + QLatin1Char('.');
}

ChannelCatalogue OwnChannelList::withListAt(
    const ChannelCatalogue &catalogue, const QString &path, QString *noteOut)
{
    ChannelCatalogue result = catalogue;
    const ChannelListRead read = ChannelListFile::read(path);
    const ChannelListApplied applied = apply(result, read.entries);
    if (noteOut)
        *noteOut = note(path, read, applied);
    return result;
}

ChannelCatalogue OwnChannelList::startUpCatalogue(std::FILE *warnings)
{
    QString said;
    ChannelCatalogue catalogue = withListAt(ChannelCatalogue::builtIn(), path(), &said);
    if (!said.isEmpty() && warnings) {
        std::fputs(said.toLocal8Bit().constData(), warnings);
        std::fputc('\n', warnings);
        std::fflush(warnings);
    }
    return catalogue;
}

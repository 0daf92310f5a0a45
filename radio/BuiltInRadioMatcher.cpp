#include "radio/BuiltInRadioMatcher.h"

#include "channels/ChannelNameRules.h"

namespace
{
const QString kNetworkMenu = QStringLiteral("PopupMenu2");

bool isNumber(const QString &word)
{
    bool ok = false;
    word.toDouble(&ok);
    return ok;
}

// Words of a name as its key is made from them: tags dropped, folded,
// split at anything that is not a letter or digit.
QStringList wordsOf(const QString &name)
{
    const QString folded = ChannelNameRules::folded(ChannelNameRules::splitTags(name).title);
    QStringList words;
    QString word;
    for (const QChar c : folded) {
        if (c.isLetterOrNumber()) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

// "Rádio", "Radio", "Web Rádio", "WebRadio" in front say nothing of which station it is.
void dropRadioWord(QStringList &words)
{
    if (words.size() > 1
        && (words.first() == QLatin1String("radio") || words.first() == QLatin1String("webradio")))
        words.removeFirst();
    else if (words.size() > 2 && words.at(0) == QLatin1String("web") && words.at(1) == QLatin1String("radio"))
        words.remove(0, 2);
}

// A frequency at the end ("98.1", "98,1 FM", "101") is where it is heard, not its name.
void dropFrequency(QStringList &words)
{
    auto isBand = [](const QString &w) { return w == QLatin1String("fm") || w == QLatin1String("am"); };
    if (words.size() > 2 && isBand(words.last()) && isNumber(words.at(words.size() - 2)))
        words.removeLast();
    while (words.size() > 1 && isNumber(words.last()))
        words.removeLast();
}

QString keyOf(QStringList words)
{
    dropRadioWord(words);
    dropFrequency(words);
    return words.join(QString());
}

// The network's name in front: "DI.FM", "DI FM", "DI", "Digitally Imported",
// and the name its second host goes by, "RadioTunes" (once "Sky.fm").
int networkPrefixLength(const QStringList &words)
{
    auto at = [&words](int i) { return i < words.size() ? words.at(i) : QString(); };
    if (at(0) == QLatin1String("difm") || at(0) == QLatin1String("radiotunes")
        || at(0) == QLatin1String("skyfm"))
        return 1;
    if (at(0) == QLatin1String("di") && at(1) == QLatin1String("fm"))
        return 2;
    if (at(0) == QLatin1String("digitally") && at(1) == QLatin1String("imported"))
        return 2;
    if ((at(0) == QLatin1String("radio") && at(1) == QLatin1String("tunes"))
        || (at(0) == QLatin1String("sky") && at(1) == QLatin1String("fm")))
        return 2;
    if (at(0) == QLatin1String("di"))
        return 1;
    return 0;
}
} // namespace

QString BuiltInRadioMatcher::stationKey(const QString &name)
{
    return keyOf(wordsOf(name));
}

QString BuiltInRadioMatcher::networkStationKey(const QString &name)
{
    QStringList words = wordsOf(name);
    const int prefix = networkPrefixLength(words);
    if (prefix == 0 || prefix >= words.size())
        return QString();
    words.remove(0, prefix);
    if (words.first() == QLatin1String("radio") && words.size() > 1)
        words.removeFirst();
    return keyOf(words);
}

BuiltInRadioMatcher::BuiltInRadioMatcher(const ChannelCatalogue &catalogue)
{
    for (const QString &container :
        { QStringLiteral("PanelRadio"), QStringLiteral("PanelRadio2"), kNetworkMenu }) {
        for (const Channel &channel : catalogue.channelsIn(container)) {
            Radio radio;
            radio.control = channel.control;
            radio.titleSuffix = channel.titleSuffix;
            radio.network = container == kNetworkMenu;
            QStringList names;
            if (radio.network) {
                // "DIFM (Chill Out)": the part in parentheses, and the item's caption.
                QString inner = channel.titleSuffix;
                const qsizetype open = inner.indexOf(QLatin1Char('('));
                if (open >= 0)
                    inner = inner.mid(open + 1).chopped(inner.endsWith(QLatin1Char(')')) ? 1 : 0);
                names << channel.caption << inner;
                radio.searchName = channel.caption;
            } else {
                names << channel.tooltip << channel.titleSuffix;
                radio.searchName = channel.tooltip.isEmpty() ? channel.titleSuffix : channel.tooltip;
                radio.countryHint = QStringLiteral("BR");
            }
            for (const QString &name : names) {
                const QString key = stationKey(name);
                if (!key.isEmpty() && !radio.keys.contains(key))
                    radio.keys << key;
            }
            const int index = int(m_radios.size());
            for (const QString &key : std::as_const(radio.keys))
                (radio.network ? m_byNetworkKey : m_byKey)[key] << index;
            m_radios << radio;
        }
    }
}

StationQuery BuiltInRadioMatcher::queryFor(const Radio &radio)
{
    StationQuery query;
    query.name = radio.searchName;
    query.countryCode = radio.countryHint;
    return query;
}

bool BuiltInRadioMatcher::better(const Radio &radio, const RadioStation &a, const RadioStation *b) const
{
    if (!b)
        return true;
    if (!radio.countryHint.isEmpty()) {
        const bool aHome = a.countryCode == radio.countryHint;
        const bool bHome = b->countryCode == radio.countryHint;
        if (aHome != bHome)
            return aHome;
    }
    return morePopular(a, *b);
}

QHash<QString, RadioStation> BuiltInRadioMatcher::match(const RadioStations &stations) const
{
    QVector<const RadioStation *> best(m_radios.size(), nullptr);
    for (const RadioStation &station : stations) {
        if (!station.lastCheckOk)
            continue;
        const QStringList words = wordsOf(station.name);
        auto consider = [&](const QHash<QString, QVector<int>> &byKey, const QString &key) {
            if (key.isEmpty())
                return;
            const auto it = byKey.constFind(key);
            if (it == byKey.cend())
                return;
            for (int i : *it)
                if (better(m_radios.at(i), station, best.at(i)))
                    best[i] = &station;
        };
        consider(m_byKey, keyOf(words));
        const int prefix = networkPrefixLength(words);
        if (prefix > 0 && prefix < words.size()) {
            QStringList rest = words.mid(prefix);
            if (rest.size() > 1 && rest.first() == QLatin1String("radio"))
                rest.removeFirst();
            consider(m_byNetworkKey, keyOf(rest));
        }
    }
    QHash<QString, RadioStation> found;
    for (int i = 0; i < m_radios.size(); ++i)
        if (best.at(i))
            found.insert(m_radios.at(i).control, *best.at(i));
    return found;
}

const RadioStation *BuiltInRadioMatcher::best(const Radio &radio, const RadioStations &stations) const
{
    const RadioStation *chosen = nullptr;
    for (const RadioStation &station : stations) {
        if (!station.lastCheckOk)
            continue;
        const QString key = radio.network ? networkStationKey(station.name) : stationKey(station.name);
        if (!key.isEmpty() && radio.keys.contains(key) && better(radio, station, chosen))
            chosen = &station;
    }
    return chosen;
}

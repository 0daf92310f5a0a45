#include "radio/BuiltInRadioMatcher.h"

#include "lists/ChannelNameRules.h"

#include <QVarLengthArray>

namespace
{
const QString kNetworkMenu = QStringLiteral("PopupMenu2");

// The words of a name, as views into its folded form.
using Words = QVarLengthArray<QStringView, 12>;

bool isNumber(QStringView word)
{
    for (const QChar c : word)
        if (!(c >= u'0' && c <= u'9'))
            return false;
    return !word.isEmpty();
}

bool mayHoldTags(QStringView name)
{
    for (const QChar c : name)
        if (c == u'[' || c == u'(' || c.unicode() >= 0x2460)
            return true;
    return false;
}

// The name with tags dropped, folded; split at anything that is not a letter
// or digit. Matching 50,000 stations makes this the hot path: no lists, no
// tag pass unless the name may hold tags.
Words wordsOf(const QString &name, QString &folded)
{
    folded = ChannelNameRules::folded(mayHoldTags(name) ? ChannelNameRules::splitTags(name).title : name);
    Words words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool inWord = i < folded.size() && folded.at(i).isLetterOrNumber();
        if (inWord && start < 0)
            start = i;
        else if (!inWord && start >= 0) {
            words.append(QStringView(folded).sliced(start, i - start));
            start = -1;
        }
    }
    return words;
}

// "Rádio", "Radio", "Web Rádio", "WebRadio" in front say nothing of which station
// it is; a frequency at the end ("98.1", "98,1 FM", "101") is where it is heard.
QString keyOf(const QStringView *begin, const QStringView *end)
{
    auto count = [&] { return end - begin; };
    if (count() > 1 && (*begin == u"radio" || *begin == u"webradio"))
        ++begin;
    else if (count() > 2 && begin[0] == u"web" && begin[1] == u"radio")
        begin += 2;
    auto isBand = [](QStringView w) { return w == u"fm" || w == u"am"; };
    if (count() > 2 && isBand(end[-1]) && isNumber(end[-2]))
        --end;
    while (count() > 1 && isNumber(end[-1]))
        --end;
    QString key;
    for (const QStringView *w = begin; w != end; ++w)
        key += *w;
    return key;
}

QString keyOf(const Words &words)
{
    return keyOf(words.cbegin(), words.cend());
}

// The network's name in front: "DI.FM", "DI FM", "DI", "Digitally Imported",
// and the name its second host goes by, "RadioTunes" (once "Sky.fm").
qsizetype networkPrefixLength(const Words &words)
{
    auto at = [&words](qsizetype i) { return i < words.size() ? words.at(i) : QStringView(); };
    if (at(0) == u"difm" || at(0) == u"radiotunes" || at(0) == u"skyfm")
        return 1;
    if ((at(0) == u"di" && at(1) == u"fm") || (at(0) == u"digitally" && at(1) == u"imported")
        || (at(0) == u"radio" && at(1) == u"tunes") || (at(0) == u"sky" && at(1) == u"fm"))
        return 2;
    if (at(0) == u"di")
        return 1;
    return 0;
}

// What follows the network's name ("DI.FM Radio Trance": "trance"); empty without one.
QString networkKeyOf(const Words &words)
{
    const qsizetype prefix = networkPrefixLength(words);
    if (prefix == 0 || prefix >= words.size())
        return QString();
    const QStringView *begin = words.cbegin() + prefix;
    if (words.cend() - begin > 1 && *begin == u"radio")
        ++begin;
    return keyOf(begin, words.cend());
}
} // namespace

QString BuiltInRadioMatcher::stationKey(const QString &name)
{
    QString folded;
    return keyOf(wordsOf(name, folded));
}

QString BuiltInRadioMatcher::networkStationKey(const QString &name)
{
    QString folded;
    return networkKeyOf(wordsOf(name, folded));
}

void BuiltInRadioMatcher::workOutKeys(RadioStation &station)
{
    QString folded;
    const Words words = wordsOf(station.name, folded);
    station.nameKey = keyOf(words);
    station.networkKey = networkKeyOf(words);
    station.keysKnown = true;
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
        RadioStation keyed;
        if (!station.keysKnown) {
            keyed.name = station.name;
            workOutKeys(keyed);
        }
        const RadioStation &keys = station.keysKnown ? station : keyed;
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
        consider(m_byKey, keys.nameKey);
        consider(m_byNetworkKey, keys.networkKey);
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
        const QString key = station.keysKnown ? (radio.network ? station.networkKey : station.nameKey)
            : radio.network                   ? networkStationKey(station.name)
                                              : stationKey(station.name);
        if (!key.isEmpty() && radio.keys.contains(key) && better(radio, station, chosen))
            chosen = &station;
    }
    return chosen;
}

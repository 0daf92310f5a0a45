#include "channels/ChannelCatalogue.h"
#include "net/AddressRule.h"
#include "radio/BuiltInRadioMatcher.h"
#include "radio/StationReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool networkAddress(const QString &address)
{
    return address.isEmpty() || AddressRule::admitted(address, AddressRule::Origin::Network) == address;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    const RadioStations stations = StationReader::readStations(json);
    for (const RadioStation &station : stations) {
        check(!station.uuid.isEmpty() && !station.name.isEmpty() && !station.playAddress().isEmpty());
        check(networkAddress(station.url) && networkAddress(station.urlResolved));
        check(station.favicon.isEmpty() || station.favicon.startsWith(QLatin1String("http")));
        check(station.name.size() <= StationReader::MaxTextChars);
        check(station.tags.size() <= StationReader::MaxTags);
        check(station.bitrate >= 0 && station.votes >= 0 && station.clickCount >= 0);
        check(station.countryCode.size() <= 2);
    }
    check(StationReader::readStations(StationReader::writeStations(stations)) == stations);
    static const BuiltInRadioMatcher matcher(ChannelCatalogue::builtIn());
    const QHash<QString, RadioStation> matches = matcher.match(stations);
    for (const BuiltInRadioMatcher::Radio &radio : matcher.radios()) {
        const RadioStation *best = matcher.best(radio, stations);
        check((best != nullptr) == matches.contains(radio.control));
    }
    StationReader::readFacets(json);
    StationReader::readClickAnswer(json);
    return 0;
}

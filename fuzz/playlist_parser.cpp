#include "engine/PlaylistParser.h"
#include "net/AddressRule.h"

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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QUrl base(QStringLiteral("http://tvdir.lumivortex.example/i_tv/list.asx"));

    const std::optional<QStringList> entries = PlaylistParser::parse(body, base);
    check(PlaylistParser::parse(body, QUrl()).has_value() == entries.has_value());
    if (!entries)
        return 0;
    for (const QString &entry : *entries) {
        check(!entry.isEmpty());
        // What the engine asks of each entry before it plays one.
        const QString admitted = AddressRule::admitted(entry, AddressRule::Origin::Network);
        check(
            admitted.isEmpty() || AddressRule::admitted(admitted, AddressRule::Origin::Network) == admitted);
    }

    // Whatever prefix the resolver looked at, a playlist is never called
    // something else.
    for (qsizetype cut = 0; cut <= body.size(); cut += cut < 64 ? 1 : 61)
        check(PlaylistParser::sniff(body.left(cut)) != PlaylistParser::Sniff::NotPlaylist);
    check(PlaylistParser::sniff(body) != PlaylistParser::Sniff::NotPlaylist);
    return 0;
}

#include "net/AddressRule.h"

#include <QString>
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

bool hasControlCharacters(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

// What the engine would take the protocol to be: the text before "://".
void checkNetworkAddress(const QString &admitted)
{
    const qsizetype colon = admitted.indexOf(u':');
    check(colon > 0);
    const QString scheme = admitted.left(colon);
    check(AddressRule::isStreamScheme(scheme) && scheme == scheme.toLower());
    check(admitted.mid(colon, 3) == QLatin1String("://"));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString address = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString network = AddressRule::admitted(address, AddressRule::Origin::Network);
    const QString chosen = AddressRule::admitted(address, AddressRule::Origin::UserChosen);

    // What a network source may name, a source the user chose may name too, and alike.
    if (!network.isEmpty())
        check(chosen == network);
    for (const QString *admitted : { &network, &chosen }) {
        if (admitted->isEmpty())
            continue;
        check(admitted->size() <= AddressRule::MaxLength && !hasControlCharacters(*admitted));
        check(*admitted == admitted->trimmed());
        // Admitting is settled: what comes back is admitted as it stands.
        check(AddressRule::admitted(*admitted, AddressRule::Origin::UserChosen) == *admitted);
    }
    if (!network.isEmpty())
        checkNetworkAddress(network);
    else if (!chosen.isEmpty())
        check(chosen.startsWith(u'/')); // a local regular file, as a path
    return 0;
}

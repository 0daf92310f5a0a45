#include "lists/SourceAnswers.h"

#include <QUrl>
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

// What a server answers a check (a playlist to follow) and the kept results
// file: reading either is bounded and sound, and results read back as written.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString next
        = SourceAnswers::nextInPlaylist(bytes, QStringLiteral("http://h.test/live/index.m3u8"));
    check(next.isEmpty() || QUrl(next).isValid());
    (void)SourceAnswers::looksLikePlaylist(bytes, bytes.left(16));
    (void)SourceAnswers::classified(int(size) % 1000, size % 2);

    const SourceAnswers::Results results = SourceAnswers::read(bytes, 64);
    check(results.size() <= 64);
    for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
        check(!it.key().isEmpty() && !it.key().contains(u'\n') && !it.key().contains(u'\t'));
        check(int(it->health) >= 0 && int(it->health) <= int(SourceHealth::NeedsLogin));
    }
    const SourceAnswers::Results again = SourceAnswers::read(SourceAnswers::written(results), 64);
    check(again.size() == results.size());
    for (auto it = results.constBegin(); it != results.constEnd(); ++it)
        check(again.value(it.key()).health == it->health && again.value(it.key()).checkedAt == it->checkedAt);
    return 0;
}

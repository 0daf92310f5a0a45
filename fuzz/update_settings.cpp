#include "base/TextDecoding.h"
#include "update/UpdateSettings.h"

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
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const UpdateSettings settings = parseUpdateSettings(content);
    for (const std::optional<QString> &value :
        { settings.version, settings.notes, settings.downloadLink, settings.downloadName })
        check(!value || value->size() <= content.size());
    check(TextDecoding::utf8OrWindows1252(content).size() <= content.size());

    // A section no input names, written after the input, reads back.
    if (!content.toLower().contains("zzfuzz")) {
        const QByteArray tail = "\n[ZzFuzz]\r\n; a comment\r\n  zzKey = \"1.2.3\"  \r\nzzkey=second\n";
        const std::optional<QString> value
            = iniValue(content + tail, QStringLiteral("zzfuzz"), QStringLiteral("ZZKEY"));
        check(value && *value == QStringLiteral("1.2.3"));
    }
    return 0;
}

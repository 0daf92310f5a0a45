#include "playlist/PlaylistStore.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace
{
void check(bool condition)
{
    if (!condition)
        std::abort();
}

QString storePath()
{
    const QString folder
        = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return folder + QStringLiteral("/lumi_fuzz_store_%1.lpl").arg(::getpid());
}

void writeBytes(const QString &path, const uint8_t *data, size_t size)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
    check(file != nullptr);
    check(size == 0 || std::fwrite(data, 1, size, file) == size);
    std::fclose(file);
}
} // namespace

// The store file is the input; then one entry, "Faixa=<path>", is written
// into the section the program uses.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = storePath();
    writeBytes(path, data, size);

    PlaylistStore store(path);
    const QString section = QStringLiteral("Musica");
    QStringList keys;
    store.ReadSection(section, &keys);
    // Each read walks the section: a few keys cover it, all of them would
    // make a long input quadratic.
    for (const QString &key : keys.mid(0, 8)) {
        check(!key.isEmpty());
        store.ReadString(section, key, QString());
    }
    const QString key = QStringLiteral("Faixa fuzz");
    const QString value = QStringLiteral("/home/usuario/Músicas/faixa.mp3");
    check(PlaylistStore::entryProblem(key, value).isEmpty());
    store.WriteString(section, key, value);
    check(store.ReadString(section, key, QString()) == value);
    QStringList after;
    store.ReadSection(section, &after);
    check(after.contains(key));

    // What was written reads back as it was held.
    const PlaylistStore reread(path);
    check(reread.lines() == store.lines());
    check(reread.ReadString(section, key, QString()) == value);
    return 0;
}

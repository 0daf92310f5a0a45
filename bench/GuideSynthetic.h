#pragma once

#include "guide/GuideStore.h"

#include <QString>
#include <memory>

// A guide store made directly, without XML: channels "Canal<n>.br" with
// programmes back to back around a time, for benchmarks of what is asked of
// a guide once it is held.
namespace GuideSynthetic
{
inline std::shared_ptr<const GuideStore> store(int channels, qint64 from, qint64 to, int minutes)
{
    GuideStore::Parts parts;
    quint32 titles[40];
    quint32 descriptions[8];
    for (int i = 0; i < 40; ++i)
        titles[i] = parts.strings.add(QStringLiteral("Programa número %1").arg(i));
    for (int i = 0; i < 8; ++i)
        descriptions[i]
            = parts.strings.add(QStringLiteral("Descrição do programa %1, com o que acontece hoje.").arg(i));
    const quint32 category = parts.strings.add(QStringLiteral("Variedades"));
    for (int c = 0; c < channels; ++c) {
        GuideStore::Channel channel;
        channel.id = parts.strings.add(QStringLiteral("Canal%1.br").arg(c));
        channel.firstName = quint32(parts.names.size());
        parts.names.push_back(parts.strings.add(QStringLiteral("Canal %1").arg(c)));
        channel.nameCount = 1;
        channel.firstProgramme = quint32(parts.programmes.size());
        channel.flags = GuideStore::WasWanted;
        // Channels start their programmes at different minutes, as real ones do.
        for (qint64 t = from - (c % 7) * 300, n = 0; t < to; ++n) {
            GuideStore::Programme p;
            p.start = t;
            p.stop = t + qint64(minutes + (n + c) % 3 * 15) * 60;
            p.title = titles[(n + c) % 40];
            p.description = descriptions[(n + c) % 8];
            p.categories = category;
            parts.programmes.push_back(p);
            t = p.stop;
        }
        channel.programmeCount = quint32(parts.programmes.size()) - channel.firstProgramme;
        parts.channels.push_back(channel);
    }
    return std::shared_ptr<const GuideStore>(GuideStore::fromParts(std::move(parts)));
}
} // namespace GuideSynthetic

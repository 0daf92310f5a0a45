#pragma once

#include <QString>
#include <QStringView>

// How a guide channel and a list's channel are recognised as one.
namespace GuideKeys
{
// A channel id as compared: trimmed, case ignored, an "@Feed" suffix dropped.
// "Band.br@SD" and "band.BR" give the same key; ids keep their accents and spaces.
QString idKey(QStringView id);

// A channel name as compared: the channel search's folding (case, accents,
// punctuation, spaces) after quality and status tags are removed ("HD",
// "FHD", "UHD", "SD", "4K", "8K", "(720p)", "[Geo-blocked]"). "Globo HD" and
// "globo" give the same key, "Globo FM" does not. Empty for a name without
// letters or digits.
QString nameKey(QStringView name);
} // namespace GuideKeys

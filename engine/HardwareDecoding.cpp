#include "engine/HardwareDecoding.h"

#include "engine/MediaEngine.h"
#include "engine/MpvHandle.h"
#include "engine/MpvNames.h"

#include <QStringList>

HardwareDecoding::HardwareDecoding(MpvHandle &mpv)
    : m_mpv(mpv)
{
}

void HardwareDecoding::firstFrameShown()
{
    const QString codec = m_mpv.getString(MpvNames::videoCodec);
    // Sound only, or a hardware decoder took it.
    if (codec.isEmpty() || m_mpv.getString(MpvNames::hwdecCurrent) != QLatin1String(MpvNames::no))
        return;
    QStringList codecs = m_mpv.getString(MpvNames::hwdecCodecs).split(QLatin1Char(','), Qt::SkipEmptyParts);
    // "all" names no codec to take out; a codec already out was not tried.
    if (codecs.removeAll(codec) == 0)
        return;
    // An empty list is not "none" to libmpv: with no codec left, decoding is
    // simply software.
    try {
        if (codecs.isEmpty())
            m_mpv.setString(MpvNames::hwdec, MpvNames::no);
        else
            m_mpv.setString(MpvNames::hwdecCodecs, codecs.join(QLatin1Char(',')).toUtf8().constData());
    } catch (const EngineError &) {
        // Refused: the decoders are tried again next time, which costs time, nothing else.
    }
}

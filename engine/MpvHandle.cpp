#include "engine/MpvHandle.h"

#include "engine/MediaEngine.h"
#include "engine/MpvLibrary.h"
#include "engine/MpvNames.h"
#include "engine/PausedStreamSockets.h"
#include "net/AddressRule.h"

#include <clocale>
#include <mpv/client.h>
#include <string>
#include <utility>

MpvHandle::MpvHandle(const MpvLibrary &lib, bool screen)
    : m_lib(lib)
{
    // libmpv refuses to start under a locale with a decimal comma; Qt has set
    // the locale from the environment by now.
    std::setlocale(LC_NUMERIC, "C");

    m_mpv = m_lib.create();
    if (!m_mpv)
        throw EngineError("libmpv could not be created");
    const QByteArray networkProtocols = protocolWhitelist(AddressRule::insideStreamProtocols());
    const QByteArray streamOptions = networkProtocols + ',' + PausedStreamSockets::ffmpegTagOption();
    const std::pair<const char *, const char *> options[] = {
        { MpvNames::vo, screen ? MpvNames::voRender : MpvNames::outputNull },
        { MpvNames::ao, screen ? MpvNames::automatic : MpvNames::outputNull },
        // A machine without a sound device still plays (silently) rather than failing the file.
        { MpvNames::audioFallbackToNull, MpvNames::yes },
        { MpvNames::ytdl, MpvNames::no },
        { MpvNames::networkTimeout, "10" },
        { MpvNames::hwdec, MpvNames::hwdecAutoSafe },
        { MpvNames::keepOpen, MpvNames::no },
        { MpvNames::idle, MpvNames::yes },
        { MpvNames::terminal, MpvNames::no },
        { MpvNames::inputDefaultBindings, MpvNames::no },
        { MpvNames::inputVoKeyboard, MpvNames::no },
        // The built-in Lua scripts answer keys we never bind; each costs a
        // thread that wakes while idle and a few megabytes.
        { MpvNames::loadStatsOverlay, MpvNames::no },
        { MpvNames::loadOsdConsole, MpvNames::no },
        { MpvNames::loadAutoProfiles, MpvNames::no },
        { MpvNames::loadScripts, MpvNames::no },
        { MpvNames::audioClientName, "Lumivortex TV" },
        { MpvNames::volume, "50" },
        { MpvNames::videoUnscaled, MpvNames::downscaleBig },
        // Frames are drawn on the GUI thread: hand each over when it is due
        // rather than block the thread until then.
        { MpvNames::videoTimingOffset, "0" },
        // The software renderer scales as mpv's OpenGL output does by default
        // (bilinear, not lanczos), in one thread: handing slices of each frame
        // to other threads cost more CPU than it saved, and one thread still
        // keeps up with 1080p at 30 fps shown full screen.
        { MpvNames::zimgScaler, MpvNames::bilinear },
        { MpvNames::zimgThreads, MpvNames::one },
        // libmpv plays HTTPS without checking certificates unless told to.
        { MpvNames::tlsVerify, MpvNames::yes },
        // Entries of playlists libmpv reads itself (M3U without a header, a
        // local playlist) may not name its special protocols, and ffmpeg may
        // open only network protocols from inside a stream.
        { MpvNames::loadUnsafePlaylists, MpvNames::no },
        { MpvNames::demuxerLavfOptions, networkProtocols.constData() },
        { MpvNames::streamLavfOptions, streamOptions.constData() },
    };
    for (const auto &[name, value] : options) {
        if (m_lib.setOptionString(m_mpv, name, value) < 0) {
            m_lib.terminateDestroy(m_mpv);
            throw EngineError(std::string("libmpv refused the option ") + name);
        }
    }
    if (m_lib.initialize(m_mpv) < 0) {
        m_lib.terminateDestroy(m_mpv);
        throw EngineError("libmpv could not be initialised");
    }
}

MpvHandle::~MpvHandle()
{
    // No wakeup may reach whoever set the callback once it is gone.
    m_lib.setWakeupCallback(m_mpv, nullptr, nullptr);
    m_lib.terminateDestroy(m_mpv);
}

QByteArray MpvHandle::protocolWhitelist(const QString &protocols)
{
    return QByteArray(MpvNames::protocolWhitelist) + "=[" + protocols.toLatin1() + ']';
}

void MpvHandle::setFlag(const char *name, bool value)
{
    int flag = value ? 1 : 0;
    if (m_lib.setProperty(m_mpv, name, MPV_FORMAT_FLAG, &flag) < 0)
        throw EngineError(std::string("libmpv refused to set ") + name);
}

void MpvHandle::setDouble(const char *name, double value)
{
    if (m_lib.setProperty(m_mpv, name, MPV_FORMAT_DOUBLE, &value) < 0)
        throw EngineError(std::string("libmpv refused to set ") + name);
}

void MpvHandle::setString(const char *name, const char *value)
{
    if (m_lib.setPropertyString(m_mpv, name, value) < 0)
        throw EngineError(std::string("libmpv refused to set ") + name);
}

bool MpvHandle::getDouble(const char *name, double &value) const
{
    return m_lib.getProperty(m_mpv, name, MPV_FORMAT_DOUBLE, &value) >= 0;
}

QString MpvHandle::getString(const char *name) const
{
    mpv_node node;
    if (m_lib.getProperty(m_mpv, name, MPV_FORMAT_NODE, &node) < 0)
        return {};
    const QString text = node.format == MPV_FORMAT_STRING ? QString::fromUtf8(node.u.string) : QString();
    m_lib.freeNodeContents(&node);
    return text;
}

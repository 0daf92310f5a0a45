#pragma once

#include <QByteArray>
#include <QString>

struct MpvLibrary;
struct mpv_handle;

// One libmpv handle, made with the options the player runs with and destroyed
// with this object, and typed access to its properties.
class MpvHandle
{
public:
    // Screen: libmpv renders for our video surface and plays to the sound
    // device; otherwise it has no video or audio output. Throws EngineError
    // when libmpv cannot be created or initialised, or refuses an option.
    MpvHandle(const MpvLibrary &lib, bool screen);
    ~MpvHandle();
    MpvHandle(const MpvHandle &) = delete;
    MpvHandle &operator=(const MpvHandle &) = delete;

    mpv_handle *get() const { return m_mpv; }

    // A refused write throws EngineError; a read says whether it succeeded.
    void setFlag(const char *name, bool value);
    void setDouble(const char *name, double value);
    void setString(const char *name, const char *value);
    bool getDouble(const char *name, double &value) const;
    // Empty when the property is unavailable or not text.
    QString getString(const char *name) const;

    // "protocol_whitelist=[a,b]": libmpv's key-value lists take a value with
    // commas in brackets.
    static QByteArray protocolWhitelist(const QString &protocols);

private:
    const MpvLibrary &m_lib;
    mpv_handle *m_mpv = nullptr;
};

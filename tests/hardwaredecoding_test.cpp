// Hardware decoding given up for a codec none of the machine's decoders took,
// on a real libmpv handle with null outputs.
#include "engine/HardwareDecoding.h"
#include "engine/MpvHandle.h"
#include "engine/MpvLibrary.h"
#include "engine/MpvNames.h"
#include "tests/support/Fixtures.h"

#include <QElapsedTimer>
#include <QTest>

namespace
{

// Opens the file and waits for its first picture; false when it ended first.
bool showFirstPicture(const MpvLibrary &lib, MpvHandle &mpv, const QString &name)
{
    const QByteArray file = Fixtures::path(name).toUtf8();
    const char *args[] = { MpvNames::loadfile, file.constData(), nullptr };
    if (lib.command(mpv.get(), args) < 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    bool started = false; // the end of a file played before is not this one's
    while (clock.elapsed() < 20000 * Fixtures::slowdown) {
        const mpv_event *event = lib.waitEvent(mpv.get(), 1.0);
        started = started || event->event_id == MPV_EVENT_START_FILE;
        if (started && event->event_id == MPV_EVENT_PLAYBACK_RESTART)
            return true;
        if (started && event->event_id == MPV_EVENT_END_FILE)
            return false;
    }
    return false;
}

QStringList triedCodecs(const MpvHandle &mpv)
{
    return mpv.getString(MpvNames::hwdecCodecs).split(QLatin1Char(','));
}

bool hardwareDecodes(const MpvHandle &mpv)
{
    return mpv.getString(MpvNames::hwdecCurrent) != QLatin1String(MpvNames::no);
}

} // namespace

class HardwareDecodingTest : public QObject
{
    Q_OBJECT

private slots:
    void codecNoHardwareTookIsNotTriedAgain();
    void lastCodecOutTurnsHardwareDecodingOff();
    void soundOnlyChangesNothing();
};

void HardwareDecodingTest::codecNoHardwareTookIsNotTriedAgain()
{
    const MpvLibrary &lib = MpvLibrary::get();
    MpvHandle mpv(lib, false);
    HardwareDecoding hardware(mpv);
    QVERIFY(triedCodecs(mpv).contains(QStringLiteral("h264")));
    QVERIFY(showFirstPicture(lib, mpv, QStringLiteral("clip-h264.ts")));
    hardware.firstFrameShown();
    // A machine whose hardware took the picture keeps it.
    QCOMPARE(triedCodecs(mpv).contains(QStringLiteral("h264")), hardwareDecodes(mpv));
    QVERIFY(triedCodecs(mpv).contains(QStringLiteral("hevc")));
    QVERIFY(showFirstPicture(lib, mpv, QStringLiteral("clip-h264.ts")));
}

void HardwareDecodingTest::lastCodecOutTurnsHardwareDecodingOff()
{
    const MpvLibrary &lib = MpvLibrary::get();
    MpvHandle mpv(lib, false);
    HardwareDecoding hardware(mpv);
    mpv.setString(MpvNames::hwdecCodecs, "h264");
    QVERIFY(showFirstPicture(lib, mpv, QStringLiteral("clip-h264.ts")));
    hardware.firstFrameShown();
    const bool off = mpv.getString(MpvNames::hwdec) == QLatin1String(MpvNames::no);
    QCOMPARE(off, !hardwareDecodes(mpv));
    QCOMPARE(mpv.getString(MpvNames::hwdecCodecs), QStringLiteral("h264"));
}

void HardwareDecodingTest::soundOnlyChangesNothing()
{
    const MpvLibrary &lib = MpvLibrary::get();
    MpvHandle mpv(lib, false);
    HardwareDecoding hardware(mpv);
    const QString before = mpv.getString(MpvNames::hwdecCodecs);
    QVERIFY(showFirstPicture(lib, mpv, QStringLiteral("stream.mp3")));
    hardware.firstFrameShown();
    QCOMPARE(mpv.getString(MpvNames::hwdecCodecs), before);
    QCOMPARE(mpv.getString(MpvNames::hwdec), QString::fromLatin1(MpvNames::hwdecAutoSafe));
}

QTEST_GUILESS_MAIN(HardwareDecodingTest)
#include "hardwaredecoding_test.moc"

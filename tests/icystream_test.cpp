// A radio stream that names its songs (ICY metadata) through the real
// engine: the song reaches the engine's title and the Player page's
// now-playing text, changes when the stream says so, and never leaks markup.
#include "engine/MpvEngine.h"
#include "player/Player.h"
#include "player/Transport.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <clocale>
#include <memory>

namespace
{
// A quarter of a second of the 32 kbit/s fixture between two titles; the
// stream is sent at the pace it plays, as a radio sends it, because the
// engine shows a title when playback reaches it, not when it is read.
constexpr int kMetaInterval = 1000;
constexpr int kBlockMs = 250;
constexpr int kFirstSongBlocks = 12;

// The ICY form: kMetaInterval bytes of sound, then one length byte (in units
// of 16) and "StreamTitle='...';" padded with zeros, again and again.
QByteArray metadataBlock(const QByteArray &title)
{
    QByteArray text = "StreamTitle='" + title + "';";
    const int blocks = int((text.size() + 15) / 16);
    text.append(QByteArray(blocks * 16 - text.size(), '\0'));
    return char(blocks) + text;
}
} // namespace

class IcyStreamTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }

    void songTitlesReachTheNowPlayingText()
    {
        const QByteArray sound = Fixtures::bytes(QStringLiteral("stream.mp3"));
        LoopbackHttpServer server;
        LoopbackHttpServer::Response r;
        r.contentType = "audio/mpeg";
        r.headers = { { "icy-metaint", QByteArray::number(kMetaInterval) }, { "icy-name", "Rádio Teste" } };
        r.produce = [sound](const QByteArray &, LoopbackHttpServer::BodyWriter &out) {
            qsizetype at = 0;
            for (int block = 0;; ++block) {
                QByteArray chunk;
                while (chunk.size() < kMetaInterval) {
                    const qsizetype take
                        = std::min<qsizetype>(kMetaInterval - chunk.size(), sound.size() - at);
                    chunk += sound.mid(at, take);
                    at = (at + take) % sound.size();
                }
                const QByteArray name = block < kFirstSongBlocks
                    ? QByteArray("Banda X - Can\xc3\xa7\xc3\xa3o")
                    : QByteArray("<b>Outra</b>\nM\xc3\xbasica");
                chunk += metadataBlock(name);
                if (!out.write(chunk.constData(), chunk.size()) || !out.wait(block < 4 ? 0 : kBlockMs))
                    return;
            }
        };
        server.setResponse(QStringLiteral("/radio"), r);

        Player player(std::make_unique<MpvEngine>(MpvEngine::Output::Null));
        QSignalSpy titles(&player.engine(), &MediaEngine::streamTitleChanged);
        player.tune(
            { QStringLiteral("Lumivortex TV - Rádio Teste"), server.url(QStringLiteral("/radio")), false });
        QTRY_COMPARE_WITH_TIMEOUT(
            player.engine().streamTitle(), QStringLiteral("Banda X - Canção"), 15000 * Fixtures::slowdown);
        QCOMPARE(player.transport().nowPlaying(), QStringLiteral("Banda X - Canção"));

        QTRY_COMPARE_WITH_TIMEOUT(
            player.engine().streamTitle(), QStringLiteral("<b>Outra</b> Música"), 15000 * Fixtures::slowdown);
        QCOMPARE(player.transport().nowPlaying(), QStringLiteral("<b>Outra</b> Música"));

        // Another URL: the old song is gone at once.
        player.engine().stop();
        player.engine().setUrl(QString());
        QCOMPARE(player.engine().streamTitle(), QString());
        QCOMPARE(player.transport().nowPlaying(), QString());
    }
};

QTEST_MAIN(IcyStreamTest)
#include "icystream_test.moc"

// What the desktop's media controls show: state words, titles, track changes.
#include "desktop/NowPlaying.h"

#include <QRegularExpression>
#include <QtTest>

namespace
{
QString u(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

class NowPlayingTest : public QObject
{
    Q_OBJECT

private slots:
    void everyEngineStatusShowsItsState_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("expected");
        QTest::newRow("playing") << u("Reproduzindo") << NowPlaying::Stopped << NowPlaying::Playing;
        QTest::newRow("paused") << u("Em pausa") << NowPlaying::Playing << NowPlaying::Paused;
        QTest::newRow("our stop") << u("Parado") << NowPlaying::Playing << NowPlaying::Stopped;
        QTest::newRow("stream failed or ended") << u("Pronto") << NowPlaying::Playing << NowPlaying::Stopped;
        QTest::newRow("connecting") << u("Conectando...") << NowPlaying::Stopped << NowPlaying::Playing;
        QTest::newRow("buffering") << u("Armazenando em buffer (42%)") << NowPlaying::Stopped
                                   << NowPlaying::Playing;
        QTest::newRow("unknown text keeps paused")
            << u("Transição") << NowPlaying::Paused << NowPlaying::Paused;
        QTest::newRow("unknown text keeps playing")
            << QString() << NowPlaying::Playing << NowPlaying::Playing;
    }
    void everyEngineStatusShowsItsState()
    {
        QFETCH(QString, status);
        QFETCH(QString, previous);
        QFETCH(QString, expected);
        QCOMPARE(NowPlaying::playbackStatus(status, previous), expected);
    }

    void titleNamesWhatPlaysNotTheWindowDecorations_data()
    {
        QTest::addColumn<QString>("windowTitle");
        QTest::addColumn<QString>("lastChannelTitle");
        QTest::addColumn<QString>("nowPlaying");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");
        const QString globo = u("Lumivortex TV - TV Globo");
        const QString start = u("Lumivortex TV 0.9.29");
        QTest::newRow("nothing loaded") << globo << globo << QString() << QString() << QString();
        QTest::newRow("tuned channel") << globo << globo << QString() << u("mms://h/globo") << u("TV Globo");
        QTest::newRow("status appended") << u("Lumivortex TV - TV Globo Reproduzindo") << globo << QString()
                                         << u("mms://h/globo") << u("TV Globo");
        QTest::newRow("congested") << u("Lumivortex TV - TV Globo Canal Congestionado!") << globo << QString()
                                   << u("mms://h/globo") << u("TV Globo");
        QTest::newRow("accents kept") << u("Lumivortex TV - TV Tarobá") << u("Lumivortex TV - TV Tarobá")
                                      << QString() << u("http://h/taroba") << u("TV Tarobá");
        QTest::newRow("tuned, last title not yet stored")
            << globo << start << QString() << u("mms://h/globo") << u("TV Globo");
        QTest::newRow("file opened after a channel")
            << u("Lumivortex TV - TV Globo Reproduzindo") << globo << u("song.mp3")
            << u("/home/u/Music/song.mp3") << u("song.mp3");
        QTest::newRow("playlist stream item")
            << globo << globo << u("radio.asx") << u("http://h/radio.asx") << u("radio.asx");
        QTest::newRow("channel tuned after a file")
            << globo << globo << u("song.mp3") << u("mms://h/globo") << u("TV Globo");
        QTest::newRow("file with start-up title")
            << start << start << QString() << u("/v/clip.avi") << u("clip.avi");
        QTest::newRow("address without file part")
            << start << start << QString() << u("http://h/") << u("http://h/");
    }
    void titleNamesWhatPlaysNotTheWindowDecorations()
    {
        QFETCH(QString, windowTitle);
        QFETCH(QString, lastChannelTitle);
        QFETCH(QString, nowPlaying);
        QFETCH(QString, url);
        QFETCH(QString, expected);
        QCOMPARE(NowPlaying::title(windowTitle, lastChannelTitle, nowPlaying, url), expected);
    }

    void unchangedValuesAreNotAnnouncedAgain()
    {
        NowPlayingTracker tracker;
        QCOMPARE(tracker.playbackStatus(), NowPlaying::Stopped);
        QVERIFY(!tracker.update(u("Pronto"), QString()).any());
        QVERIFY(!tracker.update(u("Parado"), QString()).any());

        auto changes = tracker.update(u("Conectando..."), QString());
        QVERIFY(changes.status);
        QVERIFY(!changes.track);
        QCOMPARE(tracker.playbackStatus(), NowPlaying::Playing);
        QVERIFY(!tracker.update(u("Armazenando em buffer (10%)"), QString()).any());
        QVERIFY(!tracker.update(u("Reproduzindo"), QString()).any());

        changes = tracker.update(u("Em pausa"), QString());
        QVERIFY(changes.status);
        QCOMPARE(tracker.playbackStatus(), NowPlaying::Paused);
    }

    void everyNewTitleIsANewTrack()
    {
        NowPlayingTracker tracker;
        const QString noTrack = u("/org/mpris/MediaPlayer2/TrackList/NoTrack");
        QCOMPARE(tracker.trackId(), noTrack);

        auto changes = tracker.update(u("Reproduzindo"), u("TV Globo"));
        QVERIFY(changes.status);
        QVERIFY(changes.track);
        const QString first = tracker.trackId();
        QVERIFY(first != noTrack);
        QVERIFY2(QRegularExpression(u("^(/[A-Za-z0-9_]+)+$")).match(first).hasMatch(), qPrintable(first));

        changes = tracker.update(u("Reproduzindo"), u("TV Globo"));
        QVERIFY(!changes.any());
        QCOMPARE(tracker.trackId(), first);

        changes = tracker.update(u("Reproduzindo"), u("song.mp3"));
        QVERIFY(!changes.status);
        QVERIFY(changes.track);
        QCOMPARE(tracker.title(), u("song.mp3"));
        QVERIFY(tracker.trackId() != first);

        // Back to the first title: still a new track, not the old one.
        tracker.update(u("Reproduzindo"), u("TV Globo"));
        QVERIFY(tracker.trackId() != first);

        tracker.update(u("Pronto"), QString());
        QCOMPARE(tracker.trackId(), noTrack);
    }
};

QTEST_GUILESS_MAIN(NowPlayingTest)
#include "now_playing_test.moc"

// What the desktop's media controls show: state words, titles, track changes.
#include "desktop/NowPlaying.h"

#include <QRegularExpression>
#include <QtTest>

namespace
{
using State = MediaEngine::State;

QString u(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

class NowPlayingTest : public QObject
{
    Q_OBJECT

private slots:
    void everyEngineStateShowsItsPlaybackStatus_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("expected");
        QTest::newRow("playing") << State::Playing << NowPlaying::Playing;
        QTest::newRow("paused") << State::Paused << NowPlaying::Paused;
        QTest::newRow("our stop") << State::Stopped << NowPlaying::Stopped;
        QTest::newRow("file ended") << State::Ended << NowPlaying::Stopped;
        QTest::newRow("stream failed or ended") << State::Failed << NowPlaying::Stopped;
        QTest::newRow("nothing loaded") << State::Idle << NowPlaying::Stopped;
        QTest::newRow("connecting") << State::Opening << NowPlaying::Playing;
        QTest::newRow("buffering") << State::Buffering << NowPlaying::Playing;
    }
    void everyEngineStateShowsItsPlaybackStatus()
    {
        QFETCH(MediaEngine::State, state);
        QFETCH(QString, expected);
        QCOMPARE(NowPlaying::playbackStatus(state), expected);
    }

    void titleNamesWhatPlays_data()
    {
        using Kind = LoadedMedia::Kind;
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");
        const QString globo = u("Lumivortex TV - TV Globo");
        const QString song = u("/home/u/Music/song.mp3");
        QTest::newRow("nothing loaded")
            << int(Kind::Nothing) << QString() << QString() << QString() << QString();
        QTest::newRow("tuned channel")
            << int(Kind::Channel) << globo << u("mms://h/globo") << u("mms://h/globo") << u("TV Globo");
        QTest::newRow("channel on an alternate address")
            << int(Kind::Channel) << globo << u("mms://h/globo") << u("mms://h/globo2") << u("TV Globo");
        QTest::newRow("accents kept") << int(Kind::Channel) << u("Lumivortex TV - TV Tarobá")
                                      << u("http://h/taroba") << u("http://h/taroba") << u("TV Tarobá");
        QTest::newRow("address tuned as a channel")
            << int(Kind::Channel) << u("Lumivortex TV - rtsp://h/cam") << u("rtsp://h/cam")
            << u("rtsp://h/cam") << u("rtsp://h/cam");
        QTest::newRow("file") << int(Kind::File) << song << song << song << u("song.mp3");
        QTest::newRow("playlist stream item")
            << int(Kind::File) << u("http://h/radio.asx") << u("http://h/radio.asx")
            << u("http://h/radio.asx") << u("radio.asx");
        QTest::newRow("address without file part")
            << int(Kind::Address) << u("http://h/") << u("http://h/") << u("http://h/") << u("http://h/");
        QTest::newRow("released at closing")
            << int(Kind::Channel) << globo << u("mms://h/globo") << QString() << QString();
    }
    void titleNamesWhatPlays()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QString, address);
        QFETCH(QString, url);
        const LoadedMedia loaded { LoadedMedia::Kind(kind), title, address };
        QTEST(NowPlaying::title(loaded, url), "expected");
    }

    void unchangedValuesAreNotAnnouncedAgain()
    {
        NowPlayingTracker tracker;
        QCOMPARE(tracker.playbackStatus(), NowPlaying::Stopped);
        QVERIFY(!tracker.update(State::Failed, QString()).any());
        QVERIFY(!tracker.update(State::Stopped, QString()).any());

        auto changes = tracker.update(State::Opening, QString());
        QVERIFY(changes.status);
        QVERIFY(!changes.track);
        QCOMPARE(tracker.playbackStatus(), NowPlaying::Playing);
        QVERIFY(!tracker.update(State::Buffering, QString()).any());
        QVERIFY(!tracker.update(State::Playing, QString()).any());

        changes = tracker.update(State::Paused, QString());
        QVERIFY(changes.status);
        QCOMPARE(tracker.playbackStatus(), NowPlaying::Paused);
    }

    void everyNewTitleIsANewTrack()
    {
        NowPlayingTracker tracker;
        const QString noTrack = u("/org/mpris/MediaPlayer2/TrackList/NoTrack");
        QCOMPARE(tracker.trackId(), noTrack);

        auto changes = tracker.update(State::Playing, u("TV Globo"));
        QVERIFY(changes.status);
        QVERIFY(changes.track);
        const QString first = tracker.trackId();
        QVERIFY(first != noTrack);
        QVERIFY2(QRegularExpression(u("^(/[A-Za-z0-9_]+)+$")).match(first).hasMatch(), qPrintable(first));

        changes = tracker.update(State::Playing, u("TV Globo"));
        QVERIFY(!changes.any());
        QCOMPARE(tracker.trackId(), first);

        changes = tracker.update(State::Playing, u("song.mp3"));
        QVERIFY(!changes.status);
        QVERIFY(changes.track);
        QCOMPARE(tracker.title(), u("song.mp3"));
        QVERIFY(tracker.trackId() != first);

        // Back to the first title: still a new track, not the old one.
        tracker.update(State::Playing, u("TV Globo"));
        QVERIFY(tracker.trackId() != first);

        tracker.update(State::Failed, QString());
        QCOMPARE(tracker.trackId(), noTrack);
    }
};

QTEST_GUILESS_MAIN(NowPlayingTest)
#include "now_playing_test.moc"

#include "playback/PlayerPanel.h"

#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>

namespace
{
QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, top);
    return label;
}
} // namespace

PlayerPanel::PlayerPanel(QFrame *host)
    : QObject(host)
    , panel(host)
{
    setObjectName(QStringLiteral("PlayerPanel"));

    m_videoFrame = new QFrame(panel);
    m_videoFrame->setObjectName(QStringLiteral("Shape1"));
    m_videoFrame->setGeometry(8, 3, 521, 30);
    m_videoFrame->setStyleSheet(QStringLiteral("#Shape1 { background: #87CEEB; border-radius: 8px; }"));

    m_timeText = makeLabel(QStringLiteral("Label2"), QStringLiteral("00:00 / 00:00"), panel, 45, 4);
    QFont timeFont(QStringLiteral("Arial"));
    timeFont.setPixelSize(21);
    timeFont.setBold(true);
    m_timeText->setFont(timeFont);
    m_timeText->setStyleSheet(QStringLiteral("color: #0000FF;"));
    m_timeText->resize(155, 24);

    m_nowPlaying = makeLabel(QStringLiteral("Label10"), QString(), panel, 200, 8);
    QFont nowPlayingFont(QStringLiteral("Arial"));
    nowPlayingFont.setPixelSize(12);
    m_nowPlaying->setFont(nowPlayingFont);
    // The name of what plays comes from its address.
    m_nowPlaying->setTextFormat(Qt::PlainText);
    m_nowPlaying->setMaximumWidth(320);
    m_nowPlaying->resize(300, 16);
    m_nowPlaying->setToolTip(QStringLiteral("Clique para procurar letra"));
    m_nowPlaying->setCursor(Qt::PointingHandCursor);

    m_lyricsSymbol = makeLabel(QStringLiteral("Label122"), Glyph::Lyrics, panel, 504, 4);
    m_lyricsSymbol->resize(19, 24);
    m_lyricsSymbol->setToolTip(QStringLiteral("Clique para procurar letra"));
    m_lyricsSymbol->setCursor(Qt::PointingHandCursor);
    m_lyricsSymbol->hide();

    m_positionBar = new QProgressBar(panel);
    m_positionBar->setObjectName(QStringLiteral("Gauge1"));
    m_positionBar->setGeometry(12, 26, 513, 5);
    m_positionBar->setTextVisible(false);
    m_positionBar->setRange(0, 0);
    m_positionBar->setValue(0);
    m_positionBar->setStyleSheet(QStringLiteral("#Gauge1 { background: #87CEEB; border: none; }"
                                                "#Gauge1::chunk { background: #63FA89; }"));
    // An empty range would animate as "busy"; keep a zero-length bar instead.
    m_positionBar->setMaximum(1);

    auto button
        = [this](const char *name, const QString &caption, int left, int width, const QString &label) {
              auto *b = new FlatButton(QString::fromLatin1(name), caption, panel, left, 34, width, 26);
              b->setCursor(Qt::PointingHandCursor);
              if (!label.isEmpty())
                  b->setAccessibleLabel(label);
              ButtonColour::set(b, ButtonColour::Blue);
              return b;
          };
    m_previous = button("SpeedButton76", Glyph::Previous, 8, 33, QStringLiteral("Anterior"));
    m_skipBack = button("SpeedButton46", QStringLiteral("-15s"), 40, 33, QString());
    m_scanBack = button("SpeedButton41", Glyph::Rewind, 72, 33, QStringLiteral("Voltar"));
    m_playPause = button("SpeedButton42", Glyph::Play, 104, 49, QStringLiteral("Reproduzir"));
    m_stop = button("SpeedButton40", Glyph::Stop, 152, 33, QStringLiteral("Parar"));
    m_scanForward = button("SpeedButton43", Glyph::Forward, 184, 33, QStringLiteral("Avançar"));
    m_skipForward = button("SpeedButton45", QStringLiteral("+15s"), 216, 33, QString());
    m_next = button("SpeedButton75", Glyph::Next, 248, 33, QStringLiteral("Próxima"));
    m_openFile = button("SpeedButton44", Glyph::Eject, 288, 41, QStringLiteral("Abrir arquivo"));
    m_repeat = button("SpeedButton69", Glyph::Repeat, 336, 33, QStringLiteral("Repeat"));
    m_repeat->setToolTip(QStringLiteral("Repeat"));
    m_effectsToggle = button("SpeedButton51", QStringLiteral("Fx"), 368, 33, QString());
    m_playlistToggle = button("SpeedButton74", QStringLiteral("Playlist"), 400, 50, QString());
    m_miniPlayerToggle = button("SpeedButton77", Glyph::MiniPlayer, 456, 33, QStringLiteral("Mini player"));

    // Beside the time text, which reads "-02:35" while it shows: short
    // enough to leave this room, which a file's "mm:ss / mm:ss" fills.
    m_liveEdge
        = new FlatButton(QStringLiteral("LiveEdgeButton"), QStringLiteral("Ao vivo"), panel, 140, 6, 52, 19);
    m_liveEdge->setCursor(Qt::PointingHandCursor);
    m_liveEdge->setToolTip(QStringLiteral("Voltar ao vivo"));
    QFont liveFont = m_liveEdge->font();
    liveFont.setPixelSize(11);
    liveFont.setBold(true);
    m_liveEdge->setFont(liveFont);
    ButtonColour::set(m_liveEdge, ButtonColour::Blue);
    m_liveEdge->hide();
}

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

    Shape1 = new QFrame(panel);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(8, 3, 521, 30);
    Shape1->setStyleSheet(QStringLiteral("#Shape1 { background: #87CEEB; border-radius: 8px; }"));

    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("00:00 / 00:00"), panel, 45, 4);
    QFont timeFont(QStringLiteral("Arial"));
    timeFont.setPixelSize(21);
    timeFont.setBold(true);
    Label2->setFont(timeFont);
    Label2->setStyleSheet(QStringLiteral("color: #0000FF;"));
    Label2->resize(155, 24);

    Label10 = makeLabel(QStringLiteral("Label10"), QString(), panel, 200, 8);
    QFont nowPlayingFont(QStringLiteral("Arial"));
    nowPlayingFont.setPixelSize(12);
    Label10->setFont(nowPlayingFont);
    Label10->setMaximumWidth(320);
    Label10->resize(300, 16);
    Label10->setToolTip(QStringLiteral("Clique para procurar letra"));
    Label10->setCursor(Qt::PointingHandCursor);

    Label122 = makeLabel(QStringLiteral("Label122"), Glyph::Lyrics, panel, 504, 4);
    Label122->resize(19, 24);
    Label122->setToolTip(QStringLiteral("Clique para procurar letra"));
    Label122->setCursor(Qt::PointingHandCursor);
    Label122->hide();

    Gauge1 = new QProgressBar(panel);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(12, 26, 513, 5);
    Gauge1->setTextVisible(false);
    Gauge1->setRange(0, 0);
    Gauge1->setValue(0);
    Gauge1->setStyleSheet(QStringLiteral("#Gauge1 { background: #87CEEB; border: none; }"
                                         "#Gauge1::chunk { background: #63FA89; }"));
    // An empty range would animate as "busy"; keep a zero-length bar instead.
    Gauge1->setMaximum(1);

    auto button
        = [this](const char *name, const QString &caption, int left, int width, const QString &label) {
              auto *b = new FlatButton(QString::fromLatin1(name), caption, panel, left, 34, width, 26);
              b->setCursor(Qt::PointingHandCursor);
              if (!label.isEmpty())
                  b->setAccessibleLabel(label);
              ButtonColour::set(b, ButtonColour::Blue);
              return b;
          };
    SpeedButton76 = button("SpeedButton76", Glyph::Previous, 8, 33, QStringLiteral("Anterior"));
    SpeedButton46 = button("SpeedButton46", QStringLiteral("-15s"), 40, 33, QString());
    SpeedButton41 = button("SpeedButton41", Glyph::Rewind, 72, 33, QStringLiteral("Voltar"));
    SpeedButton42 = button("SpeedButton42", Glyph::Play, 104, 49, QStringLiteral("Reproduzir"));
    SpeedButton40 = button("SpeedButton40", Glyph::Stop, 152, 33, QStringLiteral("Parar"));
    SpeedButton43 = button("SpeedButton43", Glyph::Forward, 184, 33, QStringLiteral("Avançar"));
    SpeedButton45 = button("SpeedButton45", QStringLiteral("+15s"), 216, 33, QString());
    SpeedButton75 = button("SpeedButton75", Glyph::Next, 248, 33, QStringLiteral("Próxima"));
    SpeedButton44 = button("SpeedButton44", Glyph::Eject, 288, 41, QStringLiteral("Abrir arquivo"));
    SpeedButton69 = button("SpeedButton69", Glyph::Repeat, 336, 33, QStringLiteral("Repeat"));
    SpeedButton69->setToolTip(QStringLiteral("Repeat"));
    SpeedButton51 = button("SpeedButton51", QStringLiteral("Fx"), 368, 33, QString());
    SpeedButton74 = button("SpeedButton74", QStringLiteral("Playlist"), 400, 50, QString());
    SpeedButton77 = button("SpeedButton77", Glyph::MiniPlayer, 456, 33, QStringLiteral("Mini player"));
}

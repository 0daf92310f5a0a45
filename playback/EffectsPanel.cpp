#include "playback/EffectsPanel.h"

#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QFrame>
#include <QLabel>

EffectsPanel::EffectsPanel(QWidget *window)
    : QObject(window)
{
    setObjectName(QStringLiteral("EffectsPanel"));
    PanelEfeitos = new QFrame(window);
    PanelEfeitos->setObjectName(QStringLiteral("PanelEfeitos"));
    PanelEfeitos->setFrameShape(QFrame::StyledPanel);
    PanelEfeitos->setAutoFillBackground(true);
    PanelEfeitos->setGeometry(0, 264, 345, 129);
    PanelEfeitos->hide();

    Bevel1 = new QFrame(PanelEfeitos);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 329, 113);

    auto label = [this](const char *name, const QString &text, int left, int top) {
        auto *l = new QLabel(text, PanelEfeitos);
        l->setObjectName(QString::fromLatin1(name));
        l->move(left, top);
        return l;
    };
    Label3 = label("Label3", QStringLiteral("Efeitos"), 16, 0);
    Label3->setAutoFillBackground(true);
    QFont bold = Label3->font();
    bold.setBold(true);

    auto button = [this, &bold](
                      const char *name, const QString &caption, int left, int top, int width, int height) {
        auto *b = new FlatButton(QString::fromLatin1(name), caption, PanelEfeitos, left, top, width, height);
        b->setFont(bold);
        b->setCursor(Qt::PointingHandCursor);
        ButtonColour::set(b, ButtonColour::Blue);
        return b;
    };
    SpeedButton47 = button("SpeedButton47", QStringLiteral("Loop A-B"), 16, 16, 65, 25);
    SpeedButton48 = button("SpeedButton48", QStringLiteral("Loop 4s"), 16, 40, 65, 25);
    SpeedButton49 = button("SpeedButton49", QStringLiteral("Loop 8s"), 16, 64, 65, 25);
    SpeedButton50 = button("SpeedButton50", QStringLiteral("Loop 12s"), 16, 88, 65, 25);
    SpeedButton54 = button("SpeedButton54", QStringLiteral("Parkinson"), 96, 16, 65, 25);
    SpeedButton52 = button("SpeedButton52", QStringLiteral("Vibration"), 96, 40, 65, 25);
    SpeedButton53 = button("SpeedButton53", QStringLiteral("Wavebeat"), 96, 64, 65, 25);
    SpeedButton61 = button("SpeedButton61", QStringLiteral("OverLoop"), 96, 88, 65, 25);
    SpeedButton61->setEnabled(false);
    SpeedButton61->setToolTip(QStringLiteral("Em construção"));

    SpeedButton55 = button("SpeedButton55", QStringLiteral("Set"), 176, 16, 25, 25);
    SpeedButton56 = button("SpeedButton56", QStringLiteral("Go!"), 200, 16, 25, 25);
    SpeedButton57 = button("SpeedButton57", QStringLiteral("Set"), 176, 40, 25, 25);
    SpeedButton58 = button("SpeedButton58", QStringLiteral("Go!"), 200, 40, 25, 25);
    SpeedButton59 = button("SpeedButton59", QStringLiteral("Set"), 176, 64, 25, 25);
    SpeedButton60 = button("SpeedButton60", QStringLiteral("Go!"), 200, 64, 25, 25);
    Label5 = label("Label5", QString(), 227, 24);
    Label6 = label("Label6", QString(), 227, 48);
    Label7 = label("Label7", QString(), 227, 72);
    for (QLabel *cue : { Label5, Label6, Label7 })
        cue->resize(105, 14);

    Label11 = label("Label11", QStringLiteral("Velocidade:"), 176, 96);
    Label12 = label("Label12", QStringLiteral("100%"), 241, 96);
    // The design's 8-point face is narrower than the Linux default; keep the caption whole.
    QFont rateFont = Label11->font();
    rateFont.setPixelSize(11);
    Label11->setFont(rateFont);
    Label12->setFont(rateFont);
    Label12->setMaximumWidth(40);
    Label12->resize(40, 14);
    SpeedButton65 = button("SpeedButton65", QStringLiteral("-"), 280, 93, 17, 17);
    SpeedButton66 = button("SpeedButton66", QStringLiteral("+"), 296, 93, 17, 17);
    SpeedButton67 = button("SpeedButton67", QStringLiteral("R"), 312, 93, 17, 17);
}

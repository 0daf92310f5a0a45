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

    m_frame = new QFrame(PanelEfeitos);
    m_frame->setObjectName(QStringLiteral("Bevel1"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setFrameShadow(QFrame::Sunken);
    m_frame->setGeometry(8, 8, 329, 113);

    auto label = [this](const char *name, const QString &text, int left, int top) {
        auto *l = new QLabel(text, PanelEfeitos);
        l->setObjectName(QString::fromLatin1(name));
        l->move(left, top);
        return l;
    };
    m_caption = label("Label3", QStringLiteral("Efeitos"), 16, 0);
    m_caption->setAutoFillBackground(true);
    QFont bold = m_caption->font();
    bold.setBold(true);

    auto button = [this, &bold](
                      const char *name, const QString &caption, int left, int top, int width, int height) {
        auto *b = new FlatButton(QString::fromLatin1(name), caption, PanelEfeitos, left, top, width, height);
        b->setFont(bold);
        b->setCursor(Qt::PointingHandCursor);
        ButtonColour::set(b, ButtonColour::Blue);
        return b;
    };
    m_loopAB = button("SpeedButton47", QStringLiteral("Loop A-B"), 16, 16, 65, 25);
    m_loop4s = button("SpeedButton48", QStringLiteral("Loop 4s"), 16, 40, 65, 25);
    m_loop8s = button("SpeedButton49", QStringLiteral("Loop 8s"), 16, 64, 65, 25);
    m_loop12s = button("SpeedButton50", QStringLiteral("Loop 12s"), 16, 88, 65, 25);
    m_parkinson = button("SpeedButton54", QStringLiteral("Parkinson"), 96, 16, 65, 25);
    m_vibration = button("SpeedButton52", QStringLiteral("Vibration"), 96, 40, 65, 25);
    m_wavebeat = button("SpeedButton53", QStringLiteral("Wavebeat"), 96, 64, 65, 25);
    m_overLoop = button("SpeedButton61", QStringLiteral("OverLoop"), 96, 88, 65, 25);
    m_overLoop->setEnabled(false);
    m_overLoop->setToolTip(QStringLiteral("Em construção"));

    m_setCue1 = button("SpeedButton55", QStringLiteral("Set"), 176, 16, 25, 25);
    m_goToCue1 = button("SpeedButton56", QStringLiteral("Go!"), 200, 16, 25, 25);
    m_setCue2 = button("SpeedButton57", QStringLiteral("Set"), 176, 40, 25, 25);
    m_goToCue2 = button("SpeedButton58", QStringLiteral("Go!"), 200, 40, 25, 25);
    m_setCue3 = button("SpeedButton59", QStringLiteral("Set"), 176, 64, 25, 25);
    m_goToCue3 = button("SpeedButton60", QStringLiteral("Go!"), 200, 64, 25, 25);
    m_cue1Text = label("Label5", QString(), 227, 24);
    m_cue2Text = label("Label6", QString(), 227, 48);
    m_cue3Text = label("Label7", QString(), 227, 72);
    for (QLabel *cue : { m_cue1Text, m_cue2Text, m_cue3Text })
        cue->resize(105, 14);

    m_rateCaption = label("Label11", QStringLiteral("Velocidade:"), 176, 96);
    m_rateText = label("Label12", QStringLiteral("100%"), 241, 96);
    // The panel was sized for an 8-point face narrower than the Linux default; keep the caption whole.
    QFont rateFont = m_rateCaption->font();
    rateFont.setPixelSize(11);
    m_rateCaption->setFont(rateFont);
    m_rateText->setFont(rateFont);
    m_rateText->setMaximumWidth(40);
    m_rateText->resize(40, 14);
    m_rateDown = button("SpeedButton65", QStringLiteral("-"), 280, 93, 17, 17);
    m_rateUp = button("SpeedButton66", QStringLiteral("+"), 296, 93, 17, 17);
    m_rateReset = button("SpeedButton67", QStringLiteral("R"), 312, 93, 17, 17);
}

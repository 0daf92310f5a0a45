#include "guide/ProgrammeBanner.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "guide/ProgrammeText.h"
#include "guide/TunedProgramme.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QVBoxLayout>

namespace
{
constexpr int Margin = 10;
constexpr int NarrowestWidth = 240;

QLabel *plainLabel(QWidget *parent, const char *objectName, const QString &accessibleName)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAccessibleName(accessibleName);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral("color: #f0f4fa;"));
    return label;
}
} // namespace

ProgrammeBanner::ProgrammeBanner(const TunedProgramme &tuned, QWidget *parent)
    : QWidget(parent)
    , m_tuned(tuned)
{
    setObjectName(QStringLiteral("ProgrammeBanner"));
    setAccessibleName(QStringLiteral("Programação do canal"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);

    m_channel = plainLabel(this, "ProgrammeBannerChannel", QStringLiteral("Canal"));
    QFont bold = m_channel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    m_channel->setFont(bold);
    m_now = plainLabel(this, "ProgrammeBannerNow", QStringLiteral("Agora"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgrammeBannerProgress"));
    m_progress->setAccessibleName(QStringLiteral("Andamento do programa"));
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(4);
    m_progress->setStyleSheet(QStringLiteral("QProgressBar { background: #3a4658; border: none; }"
                                             "QProgressBar::chunk { background: #5ab0ff; }"));
    m_next = plainLabel(this, "ProgrammeBannerNext", QStringLiteral("Depois"));
    m_next->setStyleSheet(QStringLiteral("color: #b8c4d4;"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(3);
    layout->addWidget(m_channel);
    layout->addWidget(m_now);
    layout->addWidget(m_progress);
    layout->addWidget(m_next);

    connect(&m_tuned, &TunedProgramme::changed, this, [this] { safeCall([this] { showProgramme(); }); });
    hide();
}

void ProgrammeBanner::follow(QWidget *video, const QList<QWidget *> &panels)
{
    m_video = video;
    if (video)
        video->installEventFilter(this);
    for (QWidget *panel : panels) {
        m_panels.append(panel);
        panel->installEventFilter(this);
    }
    place();
}

void ProgrammeBanner::setWanted(bool wanted)
{
    m_wanted = wanted;
    if (wanted)
        showProgramme();
    place();
}

void ProgrammeBanner::showProgramme()
{
    const NowNext nowNext = m_tuned.nowNext();
    m_channel->setText(PlainText::line(m_tuned.channelName()));
    if (nowNext.now.isValid()) {
        m_now->setText(
            ProgrammeText::times(nowNext.now) + QStringLiteral("  ") + ProgrammeText::fullTitle(nowNext.now));
        m_progress->setValue(int(ProgrammeText::progress(nowNext.now, m_tuned.now()) * 100 + 0.5));
        m_progress->show();
    } else {
        m_now->setText(QStringLiteral("Sem informação de programação"));
        m_progress->hide();
    }
    m_next->setText(ProgrammeText::nextLine(nowNext.next));
    m_next->setVisible(nowNext.next.isValid());
    if (isVisible())
        place();
}

void ProgrammeBanner::place()
{
    QWidget *video = m_video;
    if (!m_wanted || !m_tuned.hasChannel() || !video || video->isHidden() || !parentWidget()) {
        hide();
        return;
    }
    const QRect area = video->geometry();
    QRect spot(area.left() + Margin, area.top() + Margin, area.width() - 2 * Margin, sizeHint().height());
    for (const QPointer<QWidget> &panel : std::as_const(m_panels)) {
        if (!panel || panel->isHidden() || !panel->geometry().intersects(spot))
            continue;
        const QRect cover = panel->geometry();
        if (cover.left() - Margin - spot.left() >= NarrowestWidth)
            spot.setRight(cover.left() - Margin);
        else
            spot.moveTop(cover.bottom() + Margin);
    }
    bool fits = spot.width() >= NarrowestWidth && spot.bottom() <= area.bottom() - Margin;
    for (const QPointer<QWidget> &panel : std::as_const(m_panels))
        fits = fits && (!panel || panel->isHidden() || !panel->geometry().intersects(spot));
    if (!fits) {
        hide();
        return;
    }
    setGeometry(spot);
    show();
    raise();
}

bool ProgrammeBanner::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (m_wanted)
            safeCall([this] { place(); });
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ProgrammeBanner::paintEvent(QPaintEvent *)
{
    // Opaque: over a native video window nothing shows through.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x16, 0x1e, 0x2a));
    painter.setPen(QColor(0x5a, 0xb0, 0xff));
    painter.drawLine(rect().topLeft(), rect().bottomLeft());
}

QString ProgrammeBanner::channelText() const
{
    return m_channel->text();
}

QString ProgrammeBanner::nowText() const
{
    return m_now->text();
}

QString ProgrammeBanner::nextText() const
{
    return m_next->isVisibleTo(this) ? m_next->text() : QString();
}

int ProgrammeBanner::progressPercent() const
{
    return m_progress->isVisibleTo(this) ? m_progress->value() : -1;
}

#include "app/PageButtonPlacer.h"

#include "channels/ChannelStrip.h"
#include "widgets/FlatButton.h"

namespace
{
// Where buttons that features add to the Sistema page go, one after another.
constexpr int kFirstAddedSystemButton = 264;
constexpr int kSystemButtonStep = 64;

FlatButton *addPageButton(QWidget *page, const char *objectName, const QString &caption, const QRect &place)
{
    auto *b = new FlatButton(
        QString::fromLatin1(objectName), caption, page, place.x(), place.y(), place.width(), place.height());
    b->setCursor(Qt::PointingHandCursor);
    b->show();
    return b;
}
} // namespace

PageButtonPlacer::PageButtonPlacer(ChannelStrip &strip)
    : m_strip(strip)
{
}

FlatButton *PageButtonPlacer::addSystemPageButton(const char *objectName, const QString &caption)
{
    const int left = kFirstAddedSystemButton + kSystemButtonStep * m_systemButtons++;
    return addPageButton(
        m_strip.panel(QStringLiteral("PanelMais")), objectName, caption, QRect(left, 8, 62, 49));
}

FlatButton *PageButtonPlacer::addPlayerPageButton(
    const char *objectName, const QString &caption, const QRect &place)
{
    return addPageButton(m_strip.panel(QStringLiteral("PanelMediaPlayer")), objectName, caption, place);
}

FlatButton *PageButtonPlacer::addRadioPageButton(const char *objectName, const QString &caption)
{
    // The page's three stations hold slots 1 to 3; slots are 64 pixels apart.
    const int slot = 4 + m_radioButtons++;
    return addPageButton(m_strip.panel(QStringLiteral("PanelRadio2")), objectName, caption,
        QRect(8 + 64 * (slot - 1), 8, 62, 49));
}

#include "channels/ChannelStrip.h"

#include "widgets/FlatButton.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPixmap>

namespace
{
constexpr int kStripTop = 412; // client top of the page panels at the normal window size
constexpr int kTabRowTop = 394; // client top of the tab row
constexpr int kStripWidth = 537;
constexpr int kStripHeight = 61;
constexpr int kTooltipDuration = 10000;

const char *const kPanelNames[] = {
    "PanelBrasil",
    "PanelBrasil2",
    "PanelEsporte",
    "PanelWebcams",
    "PanelMusicaClipes",
    "PanelMusicaClipes2",
    "PanelNoticias",
    "PanelNoticias2",
    "PanelRadio",
    "PanelRadio2",
    "PanelTampa",
    "PanelMais",
    "PanelMediaPlayer",
};

// Up and down arrows of both pages of a two-page category: first-page up, first-page
// down, second-page up, second-page down.
struct PageArrows {
    const char *firstPage;
    const char *secondPage;
    const char *names[4];
};
const PageArrows kPageArrows[] = {
    { "PanelBrasil", "PanelBrasil2", { "SpeedButton78", "SpeedButton79", "SpeedButton91", "SpeedButton92" } },
    { "PanelMusicaClipes", "PanelMusicaClipes2",
        { "SpeedButton80", "SpeedButton81", "SpeedButton84", "SpeedButton85" } },
    { "PanelNoticias", "PanelNoticias2",
        { "SpeedButton108", "SpeedButton109", "SpeedButton106", "SpeedButton107" } },
    { "PanelRadio", "PanelRadio2",
        { "SpeedButton112", "SpeedButton113", "SpeedButton110", "SpeedButton111" } },
};

int buttonLeft(int slot)
{
    return 8 + 64 * (slot - 1);
}

void applyTextFace(FlatButton *button, const TextFace &face)
{
    QFont font = button->font();
    if (!face.family.isEmpty())
        font.setFamily(face.family);
    font.setPixelSize(face.pixelSize);
    font.setBold(face.bold);
    font.setItalic(face.italic);
    button->setFont(font);
    // Fonts that Linux lacks fall back to wider ones: narrow until the caption fits.
    const int room = button->width()
        - (button->sizeHint().width() - button->fontMetrics().horizontalAdvance(button->text()));
    for (int stretch = 96; stretch >= 60 && QFontMetrics(font).horizontalAdvance(button->text()) > room;
         stretch -= 4) {
        font.setStretch(stretch);
        button->setFont(font);
    }
    if (face.colour.isValid()) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, face.colour);
        button->setPalette(palette);
    }
}
} // namespace

CategoryTabBar::CategoryTabBar(QWidget *parent)
    : QTabBar(parent)
{
    setObjectName(QStringLiteral("TabControl1"));
    setCursor(Qt::PointingHandCursor);
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
    setFocusPolicy(Qt::NoFocus);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    // Eight tabs and the row's buttons share 537 pixels.
    setStyleSheet(QStringLiteral("QTabBar::tab { padding: 1px 4px; margin: 0; height: 16px; }"));
}

ChannelStrip::ChannelStrip(const ChannelCatalogue &catalogue, QWidget *window)
    : QObject(window)
    , m_catalogue(catalogue)
    , m_window(window)
{
    setObjectName(QStringLiteral("ChannelStrip"));
    buildTabs();
    for (const char *name : kPanelNames)
        addPanel(QString::fromLatin1(name));

    for (const Channel &channel : m_catalogue.channels()) {
        if (QFrame *page = m_panels.value(channel.container))
            addChannelButton(page, channel);
    }
    for (const MenuButton &button : m_catalogue.menuButtons())
        addMenuButton(button);
    for (const PageArrows &arrows : kPageArrows) {
        QStringList names;
        for (const char *name : arrows.names)
            names << QString::fromLatin1(name);
        addPageArrows(QString::fromLatin1(arrows.firstPage), QString::fromLatin1(arrows.secondPage), names);
    }
    buildMenus();
    // The empty lid panel lies under every page.
    m_panels.value(QStringLiteral("PanelTampa"))->lower();

    // Only the first Brasil page shows at start.
    for (QFrame *panel : m_panelOrder)
        panel->setVisible(panel->objectName() == QLatin1String("PanelBrasil"));
}

void ChannelStrip::buildTabs()
{
    m_tabs = new CategoryTabBar(m_window);
    for (const CategoryTab &tab : ChannelCatalogue::tabs()) {
        const int index = m_tabs->addTab(tab.caption);
        m_tabs->setTabTextColor(index, QColor(0, 0, 255));
    }
    m_tabs->setGeometry(0, kTabRowTop, kStripWidth, kStripTop - kTabRowTop);
    m_tabs->setCurrentIndex(0);
    connect(m_tabs, &QTabBar::currentChanged, this, [this] { showSelectedCategory(); });
}

QFrame *ChannelStrip::addPanel(const QString &name)
{
    auto *panel = new QFrame(m_window);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(0, kStripTop, kStripWidth, kStripHeight);
    panel->setAutoFillBackground(true);
    m_panels.insert(name, panel);
    m_panelOrder << panel;
    return panel;
}

QList<QFrame *> ChannelStrip::stripPanels() const
{
    return m_panelOrder;
}

void ChannelStrip::addChannelButton(QFrame *page, const Channel &channel)
{
    auto *button = new FlatButton(channel.control, QString(), page, buttonLeft(channel.slot), 8, 62, 49);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(channel.tooltip);
    button->setToolTipDuration(kTooltipDuration);
    if (channel.logo) {
        const QPixmap logo(channel.logoResource());
        button->setIcon(QIcon(logo));
        button->setIconSize(logo.isNull() ? QSize(60, 45) : logo.size());
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAccessibleLabel(channel.tooltip);
    } else {
        button->setText(channel.caption);
        applyTextFace(button, channel.font);
    }
    const Channel picked = channel;
    connect(button, &QToolButton::clicked, this, [this, picked] { emit channelChosen(picked); });
}

void ChannelStrip::addMenuButton(const MenuButton &info)
{
    QFrame *page = m_panels.value(info.container);
    if (!page)
        return;
    auto *button = new FlatButton(info.control, QString(), page, buttonLeft(info.slot), 8, 62, 49);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(info.tooltip);
    button->setToolTipDuration(kTooltipDuration);
    if (info.logo) {
        const QPixmap logo(QStringLiteral(":/logos/") + info.control + QStringLiteral(".png"));
        button->setIcon(QIcon(logo));
        button->setIconSize(logo.isNull() ? QSize(60, 45) : logo.size());
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAccessibleLabel(info.tooltip);
    } else {
        button->setText(info.caption);
        applyTextFace(button, info.font);
    }
    m_menuButtons.insert(info.control, button);
    const QString name = info.control;
    connect(button, &QToolButton::clicked, this, [this, name] { openChannelMenu(name); });
}

void ChannelStrip::addPageArrows(const QString &firstPage, const QString &secondPage, const QStringList &n)
{
    QFrame *first = m_panels.value(firstPage);
    QFrame *second = m_panels.value(secondPage);
    auto arrow = [](const QString &name, QFrame *page, bool up) {
        auto *button
            = new FlatButton(name, up ? Glyph::UpArrow : Glyph::DownArrow, page, 520, up ? 8 : 24, 15, 17);
        button->setCursor(Qt::PointingHandCursor);
        button->setAccessibleLabel(up ? QStringLiteral("Página anterior") : QStringLiteral("Próxima página"));
        QFont f = button->font();
        f.setPixelSize(9);
        button->setFont(f);
        return button;
    };
    arrow(n[0], first, true); // drawn, no action
    FlatButton *down = arrow(n[1], first, false);
    FlatButton *up = arrow(n[2], second, true);
    arrow(n[3], second, false); // drawn, no action
    connect(down, &QToolButton::clicked, this,
        [this, firstPage, secondPage] { turnPage(secondPage, firstPage); });
    connect(
        up, &QToolButton::clicked, this, [this, firstPage, secondPage] { turnPage(firstPage, secondPage); });
}

void ChannelStrip::turnPage(const QString &show, const QString &hide)
{
    m_panels.value(show)->show();
    m_panels.value(hide)->hide();
}

void ChannelStrip::buildMenus()
{
    for (const MenuButton &button : m_catalogue.menuButtons()) {
        auto *menu = new QMenu(m_window);
        menu->setObjectName(button.menu);
        m_menus.insert(button.menu, menu);
    }
    for (const Channel &channel : m_catalogue.channels()) {
        if (QMenu *menu = m_menus.value(channel.container))
            addChannelAction(menu, channel);
    }
}

void ChannelStrip::addChannelAction(QMenu *menu, const Channel &channel)
{
    QAction *action = menu->addAction(channel.caption);
    action->setObjectName(channel.control);
    const Channel picked = channel;
    connect(action, &QAction::triggered, this, [this, picked] { emit channelChosen(picked); });
}

void ChannelStrip::showSelectedCategory()
{
    const int t = m_tabs->currentIndex();
    auto showOnly = [this](bool selected, const char *first, const char *second) {
        QFrame *page1 = m_panels.value(QString::fromLatin1(first));
        if (selected) {
            page1->show();
            return;
        }
        page1->hide();
        if (second)
            m_panels.value(QString::fromLatin1(second))->hide();
    };
    showOnly(t == 0, "PanelBrasil", "PanelBrasil2");
    showOnly(t == 1, "PanelEsporte", nullptr);
    showOnly(t == 2, "PanelMusicaClipes", "PanelMusicaClipes2");
    showOnly(t == 3, "PanelNoticias", "PanelNoticias2");
    showOnly(t == 4, "PanelRadio", "PanelRadio2");
    if (t == 5) {
        m_panels.value(QStringLiteral("PanelMediaPlayer"))->show();
        emit playerTabOpened();
    } else {
        m_panels.value(QStringLiteral("PanelMediaPlayer"))->hide();
    }
    showOnly(t == 6, "PanelWebcams", nullptr);
    showOnly(t == 7, "PanelMais", nullptr);
}

void ChannelStrip::selectTabQuietly(int t)
{
    const QSignalBlocker blocker(m_tabs);
    m_tabs->setCurrentIndex(t);
}

QPoint ChannelStrip::menuPosition(const MenuButton &info) const
{
    const FlatButton *button = m_menuButtons.value(info.control);
    const QPoint windowPos = m_window->frameGeometry().topLeft();
    return { windowPos.x() + button->x() + 3,
        windowPos.y() + m_tabs->y() + button->y() + info.verticalOffset };
}

void ChannelStrip::openChannelMenu(const QString &buttonName)
{
    for (const MenuButton &info : m_catalogue.menuButtons()) {
        if (info.control == buttonName) {
            m_menus.value(info.menu)->popup(menuPosition(info));
            return;
        }
    }
}

#include "app/ContextMenu.h"

#include "channels/ChannelCatalogue.h"
#include "channels/ChannelStrip.h"

#include <QAction>

ContextMenu::ContextMenu(const ChannelCatalogue &catalogue, ChannelStrip &strip, QWidget &window)
    : QMenu(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    m_items.normal = item(this, "Customizavel1", QStringLiteral("Normal"));
    m_items.clean = item(this, "Pocket1", QStringLiteral("Tela Limpa"));
    m_items.fullScreen = item(this, "Maximizar1", QStringLiteral("Tela Cheia"));
    m_items.alwaysOnTop = item(this, "elasemprevisivel1", QStringLiteral("Tela Sempre Visível"));
    m_items.alwaysOnTop->setCheckable(true);
    separator(this, "N4");
    m_items.browser = item(this, "AbrirLumivortexBrowser1", QStringLiteral("Abrir Lumivortex Browser"));
    m_items.lyrics = item(this, "LocalizarLetrasdeMusicas1", QStringLiteral("Localizar Letras de Musicas"));
    m_items.videos = item(this, "LocalizarFilmeseVideos1", QStringLiteral("Localizar Filmes e Videos"));
    for (const Channel &channel : catalogue.channelsIn(QStringLiteral("PopupMenu1")))
        strip.addChannelAction(this, channel);
    separator(this, "N5");
    QMenu *games = addMenu(QStringLiteral("Jogos Online"));
    games->setObjectName(QStringLiteral("Passatempos1"));
    games->menuAction()->setObjectName(QStringLiteral("Passatempos1"));
    m_items.game = item(games, "JogodaVov1", QStringLiteral("Jogo da Vovó :P"));
    separator(this, "N2");
    m_items.interrupt = item(this, "InterromperTransmisso1", QStringLiteral("Interromper Transmissão"));
    separator(this, "N1");
    m_items.options = item(this, "Opes1", QStringLiteral("Sleep Timer e Opções"));
    m_items.hide = item(this, "EsconderLumivortex1", QStringLiteral("Esconder Lumivortex"));
}

QList<QAction *> ContextMenu::addSection(const QList<Item> &items)
{
    QList<QAction *> added;
    for (const Item &item : items) {
        auto *action = new QAction(item.caption, this);
        action->setObjectName(QString::fromLatin1(item.objectName));
        action->setShortcut(item.shortcut);
        insertAction(m_items.hide, action);
        // The window holds the action too, so its shortcut works with the menu closed.
        m_window.addAction(action);
        added << action;
    }
    return added;
}

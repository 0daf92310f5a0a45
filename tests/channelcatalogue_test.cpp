#include "channels/ChannelCatalogue.h"
#include "channels/StreamHosts.h"

#include <QSet>
#include <QTest>
#include <QUrl>

Q_DECLARE_METATYPE(AddressKind)

namespace
{

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Why an address is not of its kind; empty when it is.
QString kindViolation(const QString &address, AddressKind kind)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        return QStringLiteral("not a valid URL: ") + url.errorString();
    if (!url.host().endsWith(QLatin1String(".example")))
        return QStringLiteral("host outside .example: ") + url.host();
    if (!url.userInfo().isEmpty() || url.hasFragment())
        return QStringLiteral("user info or fragment");
    const QString path = url.path().toLower();
    const auto endsWithAny = [&path](std::initializer_list<const char *> suffixes) {
        for (const char *s : suffixes) {
            if (path.endsWith(QLatin1String(s)))
                return true;
        }
        return false;
    };
    const bool bare = path.isEmpty() || path == QLatin1String("/");
    switch (kind) {
    case AddressKind::Mms:
        if (url.scheme() != QLatin1String("mms"))
            return QStringLiteral("MMS without the mms scheme");
        if (bare || url.hasQuery())
            return QStringLiteral("MMS needs a path and no query");
        return {};
    case AddressKind::Asx:
        if (url.scheme() != QLatin1String("http"))
            return QStringLiteral("ASX not over http");
        if (!path.endsWith(QLatin1String(".asx")) || url.hasQuery())
            return QStringLiteral("ASX path must end .asx, without query");
        return {};
    case AddressKind::Http:
        if (url.scheme() != QLatin1String("http"))
            return QStringLiteral("HTTP stream not over http");
        if (url.hasQuery())
            return QStringLiteral("HTTP stream with a query");
        if (bare && url.port() == -1)
            return QStringLiteral("bare HTTP host without a port");
        if (endsWithAny({ ".asx", ".wax", ".wvx", ".m3u", ".m3u8", ".pls", ".aspx", ".asp", ".cgi", ".php" }))
            return QStringLiteral("HTTP stream path is a playlist or script");
        return {};
    case AddressKind::Script:
        if (url.scheme() != QLatin1String("http"))
            return QStringLiteral("script not over http");
        if (url.query().isEmpty())
            return QStringLiteral("script without a query");
        if (!bare && !endsWithAny({ ".aspx", ".cgi", ".php" }))
            return QStringLiteral("script path is not .aspx, .cgi or .php");
        return {};
    }
    return QStringLiteral("unknown kind");
}

QString directoryEntry(char letter, const QString &identifier)
{
    return QStringLiteral("http://") + QLatin1String(StreamHosts::TvDirectory) + QLatin1Char('/')
        + QLatin1Char(letter) + QStringLiteral("_tv/") + identifier + QStringLiteral(".asx");
}

AddressKind kindOf(QChar c)
{
    switch (c.toLatin1()) {
    case 'M':
        return AddressKind::Mms;
    case 'A':
        return AddressKind::Asx;
    case 'H':
        return AddressKind::Http;
    default:
        return AddressKind::Script;
    }
}

} // namespace

class ChannelCatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void catalogueHasEveryChannelOnce();
    void pageOrMenuHoldsItsChannelsInSlotOrder_data();
    void pageOrMenuHoldsItsChannelsInSlotOrder();
    void diFmButtonKeepsSlotEightOfTheRadioPage();
    void menuButtonsOpenTheirMenus_data();
    void menuButtonsOpenTheirMenus();
    void titleSuffixIsSpelledLetterForLetter_data();
    void titleSuffixIsSpelledLetterForLetter();
    void buttonsHaveTooltipsAndMenuItemsHaveNone();
    void onlySbtAndLitoralSwitchReconnectionOff();
    void addressIsOfItsKind_data();
    void addressIsOfItsKind();
    void alternateEntriesStayUnderReservedHosts();
    void diFmItemsSplitBetweenTwoRadioNetworks();
    void bandAndTarobaShareOneStreamAndNoOneElse();
    void directoryListRunsThroughTheLettersOfItsIdentifier_data();
    void directoryListRunsThroughTheLettersOfItsIdentifier();
    void jovemPanListEndsWithTheChannelsOwnAddress();
    void everyListBelongsToExactlyOneChannel();
    void textFaceFollowsItsButton_data();
    void textFaceFollowsItsButton();
    void unlistedTextButtonsUseTheWindowFont();
    void logoResourceOnlyForLogoFaces();
    void tabsAreInTheirOrder();
    void lookupByControlFindsTheEntry();
    void lookupByWindowTitleNeedsTheExactTitle_data();
    void lookupByWindowTitleNeedsTheExactTitle();
    void everyChannelIsFoundByItsOwnTitle();
    void alternateListFoundOnlyByItsChannelsTitle_data();
    void alternateListFoundOnlyByItsChannelsTitle();
    void setAddressChangesOnlyThatChannelInThatCopy();
    void setAlternateEntriesChangesOnlyThatList();
};

void ChannelCatalogueTest::catalogueHasEveryChannelOnce()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    QCOMPARE(catalogue.channels().size(), 101);
    QSet<QString> controls, suffixes, places;
    for (const Channel &c : catalogue.channels()) {
        QVERIFY2(!c.control.isEmpty() && !c.titleSuffix.isEmpty(), qPrintable(c.control));
        controls.insert(c.control);
        suffixes.insert(c.titleSuffix);
        places.insert(c.container + QLatin1Char('/') + QString::number(c.slot));
    }
    QCOMPARE(controls.size(), 101);
    QCOMPARE(suffixes.size(), 101);
    QCOMPARE(places.size(), 101);
}

void ChannelCatalogueTest::pageOrMenuHoldsItsChannelsInSlotOrder_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<QString>("kinds"); // M mms, A asx, H http, S script
    QTest::addColumn<QString>("faces"); // L logo, T text (menu items: T)

    const auto row = [](const char *container, const char *controls, const char *kinds, const char *faces) {
        QTest::newRow(container) << QString::fromLatin1(container)
                                 << QString::fromLatin1(controls).split(QLatin1Char(' '))
                                 << QString::fromLatin1(kinds) << QString::fromLatin1(faces);
    };
    row("PanelBrasil",
        "SpeedButton2 SpeedButton90 SpeedButton117 SpeedButton4 SpeedButton7 SpeedButton15 SpeedButton27 "
        "SpeedButton37",
        "HMMMMMHM", "LLLLLLLL");
    row("PanelBrasil2",
        "SpeedButton1 SpeedButton93 SpeedButton94 SpeedButton32 SpeedButton33 SpeedButton99 SpeedButton8 "
        "SpeedButton118",
        "MMMAMAMM", "LTTLTTLT");
    row("PanelEsporte",
        "SpeedButton3 SpeedButton35 SpeedButton36 SpeedButton63 SpeedButton86 SpeedButton87 SpeedButton88 "
        "SpeedButton97",
        "AAAAAAAH", "LTTTLLTT");
    row("PanelMusicaClipes",
        "SpeedButton6 SpeedButton9 SpeedButton10 SpeedButton11 SpeedButton22 SpeedButton28 SpeedButton29 "
        "SpeedButton62",
        "AASAAAAS", "LLLTTTTT");
    row("PanelMusicaClipes2",
        "SpeedButton82 SpeedButton83 SpeedButton96 SpeedButton100 SpeedButton101 SpeedButton103 "
        "SpeedButton114 "
        "SpeedButton122",
        "AAMAMAAA", "TTTTTTLT");
    row("PanelNoticias",
        "SpeedButton5 SpeedButton12 SpeedButton13 SpeedButton30 SpeedButton31 SpeedButton38 SpeedButton64 "
        "SpeedButton102",
        "AMAMAASA", "LLTLLLLT");
    row("PanelNoticias2", "SpeedButton105 SpeedButton119", "HA", "LL");
    row("PanelRadio",
        "SpeedButton19 SpeedButton23 SpeedButton116 SpeedButton21 SpeedButton24 SpeedButton25 SpeedButton26",
        "ASMHASM", "TLLLLLT");
    row("PanelRadio2", "SpeedButton104 SpeedButton115 SpeedButton14", "AHA", "LLL");
    row("PopupMenu2",
        "rance1 VocalTrance1 ChillOut1 DeepHouse1 HardDance1 EuroDance1 Progressive1 GoaSpyTrance1 HardCore1 "
        "DJMixies1 DrumnBass1 ClassicElectronica1 MostlyClassical1 NewAge1 LoungeBETA1 Ambient1 Breaks1 "
        "Gabber1 "
        "ClassicalGuitar1 SmoothJazz1 opHits1 Bestofthe80s1 RootsReggae1 Hit70s1 Country1 ModernJazz1 Salsa1",
        "AAAAAAAAAAAAAAAAAAAAAAAAAAA", "TTTTTTTTTTTTTTTTTTTTTTTTTTT");
    row("PopupMenu_EUA_Webcam",
        "DaytonaBeach1 FtLauderdale1 a1 b1 c1 d1 as1 v1 MontereyBay21 NASDAQ1 SanDiegoCA1 imesSquare1",
        "MMSMAHMAHAMH", "TTTTTTTTTTTT");
    row("PopupMenu_ReinoUnido_Webcam", "Exmounth1", "M", "T");
    row("PopupMenu1", "Previsodotempo1", "A", "T");
}

void ChannelCatalogueTest::pageOrMenuHoldsItsChannelsInSlotOrder()
{
    QFETCH(QString, container);
    QFETCH(QStringList, controls);
    QFETCH(QString, kinds);
    QFETCH(QString, faces);
    QCOMPARE(kinds.size(), controls.size());
    QCOMPARE(faces.size(), controls.size());

    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const QVector<Channel> held = catalogue.channelsIn(container);
    QStringList heldControls;
    for (const Channel &c : held)
        heldControls << c.control;
    QCOMPARE(heldControls, controls);
    for (int i = 0; i < held.size(); ++i) {
        const Channel &c = held.at(i);
        QCOMPARE(c.slot, i + 1);
        QCOMPARE(c.container, container);
        QVERIFY2(c.kind == kindOf(kinds.at(i)), qPrintable(c.control));
        QCOMPARE(c.logo, faces.at(i) == QLatin1Char('L'));
    }
}

void ChannelCatalogueTest::diFmButtonKeepsSlotEightOfTheRadioPage()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    for (const Channel &c : catalogue.channelsIn(QStringLiteral("PanelRadio")))
        QVERIFY(c.slot != 8);
    const MenuButton *diFm = catalogue.menuButton(QStringLiteral("SpeedButton20"));
    QVERIFY(diFm);
    QCOMPARE(diFm->container, QStringLiteral("PanelRadio"));
    QCOMPARE(diFm->slot, 8);
    QVERIFY(diFm->logo);
    QVERIFY(diFm->caption.isEmpty());
    QCOMPARE(diFm->logoResource(), QStringLiteral(":/logos/SpeedButton20.png"));
}

void ChannelCatalogueTest::menuButtonsOpenTheirMenus_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("container");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("items");

    QTest::newRow("DI-FM") << u("SpeedButton20") << u("PanelRadio") << 8 << QString() << u("DI-FM")
                           << u("PopupMenu2") << -415 << 27;
    QTest::newRow("EUA") << u("SpeedButton34") << u("PanelWebcams") << 1 << u("EUA") << u("WebCams EUA")
                         << u("PopupMenu_EUA_Webcam") << -165 << 12;
    QTest::newRow("ReinoUnido") << u("SpeedButton98") << u("PanelWebcams") << 2 << u("ReinoUnido")
                                << u("WebCams Reino Unido") << u("PopupMenu_ReinoUnido_Webcam") << 22 << 1;
}

void ChannelCatalogueTest::menuButtonsOpenTheirMenus()
{
    QFETCH(QString, control);
    QFETCH(QString, container);
    QFETCH(int, slot);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(QString, menu);
    QFETCH(int, offset);
    QFETCH(int, items);

    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    QCOMPARE(catalogue.menuButtons().size(), 3);
    const MenuButton *b = catalogue.menuButton(control);
    QVERIFY(b);
    QCOMPARE(b->container, container);
    QCOMPARE(b->slot, slot);
    QCOMPARE(b->caption, caption);
    QCOMPARE(b->logo, caption.isEmpty());
    QCOMPARE(b->tooltip, tooltip);
    QCOMPARE(b->menu, menu);
    QCOMPARE(b->verticalOffset, offset);
    QCOMPARE(catalogue.channelsIn(menu).size(), items);
}

void ChannelCatalogueTest::titleSuffixIsSpelledLetterForLetter_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("titleSuffix");

    const auto row = [](const char *control, const char *caption, const char *tooltip, const char *title) {
        QTest::newRow(control) << u(control) << u(caption) << u(tooltip) << u(title);
    };
    row("as1", "Kirkwood Ski", "", "Kirkwood ski");
    row("DrumnBass1", "Drum 'n Bass", "", "DIFM (Drum n Bass)");
    row("Bestofthe80s1", "Best of the 80's", "", "DIFM (Best of 80s)");
    row("Hit70s1", "Hit 70's", "", "DIFM (Hit 70s)");
    row("ChillOut1", "ChillOut", "", "DIFM (Chill Out)");
    row("DeepHouse1", "House", "", "DIFM (Deep House)");
    row("GoaSpyTrance1", "Goa-Psy Trance", "", "DIFM (Goa-Psy Trance)");
    row("ClassicElectronica1", "Classic Electronica", "", "DIFM (Classic Techno)");
    row("opHits1", "Top Hits", "", "DIFM (Top Hits)");
    row("c1", "Hog's Breath Saloon", "", "Hog's Breath Saloon");
    row("d1", "Blue Montain Ski", "", "Blue Montain Ski");
    row("a1", "Waikiki Beach, Honolulu", "", "Waikiki Beach, Honolulu");
    row("Exmounth1", "Exmounth", "", "Exmounth");
    row("Previsodotempo1", "Previsão do tempo", "", "Clima Tempo");
    row("SpeedButton2", "", "SBT (Alterosa)", "SBT (Alterosa)");
    row("SpeedButton90", "", "Globo", "TV Globo");
    row("SpeedButton4", "", "Rede TV!", "RedeTV");
    row("SpeedButton93", "ponto.com", "Ponto.com", "TV Ponto.com");
    row("SpeedButton94", "tarobá", "Tarobá", "TV Tarobá");
    row("SpeedButton32", "", "Canção Nova", "Canção Nova");
    row("SpeedButton118", "TV BSB", "TV Brasília", "TV Brasília");
    row("SpeedButton3", "", "BAND SPORTS", "Band Sports");
    row("SpeedButton35", "€uro TV", "Euro TV", "Eurosports");
    row("SpeedButton88", "FIGHT!", "Fight TV", "Fight Euro");
    row("SpeedButton9", "", "Ministry of Sound", "Ministry Of Sound TV");
    row("SpeedButton10", "", "DeeJay TV", "Deejay TV");
    row("SpeedButton22", "ManiaTV!", "Mania TV!", "ManiaTV!");
    row("SpeedButton62", "E - Music", "E-Music", "E-Music");
    row("SpeedButton96", "ALLMusic", "ALL Music", "ALL MUSIC");
    row("SpeedButton5", "", "Band News", "BANDNEWS");
    row("SpeedButton13", "Bloomberg", "Bloomberg", "Bloomberg USA");
    row("SpeedButton105", "", "Cuba Vision", "Cuba Vision TV");
    row("SpeedButton23", "", "Jovem Pan Maringá", "Radio Jovem Pan Maringá");
    row("SpeedButton26", "C-Dance", "C-Dance", "Radio C-Dance");
    row("SpeedButton14", "", "Radio Fênix", "Radio Fênix");
}

void ChannelCatalogueTest::titleSuffixIsSpelledLetterForLetter()
{
    QFETCH(QString, control);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(QString, titleSuffix);

    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const Channel *c = catalogue.byControl(control);
    QVERIFY(c);
    QCOMPARE(c->caption, caption);
    QCOMPARE(c->tooltip, tooltip);
    QCOMPARE(c->titleSuffix, titleSuffix);
    QCOMPARE(ChannelCatalogue::windowTitleFor(*c), QStringLiteral("Lumivortex TV - ") + titleSuffix);
}

void ChannelCatalogueTest::buttonsHaveTooltipsAndMenuItemsHaveNone()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    int buttons = 0;
    for (const Channel &c : catalogue.channels()) {
        const bool onPage = c.container.startsWith(QLatin1String("Panel"));
        QCOMPARE(c.isMenuItem(), !onPage);
        if (onPage) {
            ++buttons;
            QVERIFY2(!c.tooltip.isEmpty(), qPrintable(c.control));
            QVERIFY2(c.slot >= 1 && c.slot <= 8, qPrintable(c.control));
            // A logo face shows no text; a text face shows its caption.
            QVERIFY2(c.logo == c.caption.isEmpty(), qPrintable(c.control));
        } else {
            QVERIFY2(c.tooltip.isEmpty(), qPrintable(c.control));
            QVERIFY2(!c.logo && !c.caption.isEmpty(), qPrintable(c.control));
        }
    }
    QCOMPARE(buttons, 60);
}

void ChannelCatalogueTest::onlySbtAndLitoralSwitchReconnectionOff()
{
    QStringList switching;
    for (const Channel &c : ChannelCatalogue::builtIn().channels()) {
        if (c.switchesReconnectionOff)
            switching << c.titleSuffix;
    }
    QCOMPARE(switching, QStringList({ u("SBT (Alterosa)"), u("TV Litoral") }));
}

void ChannelCatalogueTest::addressIsOfItsKind_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<AddressKind>("kind");
    for (const Channel &c : ChannelCatalogue::builtIn().channels())
        QTest::newRow(qPrintable(c.control)) << c.address << c.kind;
}

void ChannelCatalogueTest::addressIsOfItsKind()
{
    QFETCH(QString, address);
    QFETCH(AddressKind, kind);
    const QString violation = kindViolation(address, kind);
    QVERIFY2(violation.isEmpty(), qPrintable(address + QLatin1String(": ") + violation));
}

void ChannelCatalogueTest::alternateEntriesStayUnderReservedHosts()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    QCOMPARE(catalogue.alternateLists().size(), 15);
    for (const AlternateList &list : catalogue.alternateLists()) {
        for (const QString &entry : list.entries) {
            const QUrl url(entry, QUrl::StrictMode);
            QVERIFY2(url.isValid() && url.host().endsWith(QLatin1String(".example")), qPrintable(entry));
        }
    }
}

void ChannelCatalogueTest::diFmItemsSplitBetweenTwoRadioNetworks()
{
    const QVector<Channel> items = ChannelCatalogue::builtIn().channelsIn(QStringLiteral("PopupMenu2"));
    QCOMPARE(items.size(), 27);
    const QString first = QUrl(items.first().address).host();
    const QString second = QUrl(items.last().address).host();
    QCOMPARE(first, QLatin1String(StreamHosts::RadioNetwork));
    QCOMPARE(second, QLatin1String(StreamHosts::RadioNetwork2));
    QVERIFY(first != second);
    for (const Channel &c : items) {
        QVERIFY2(c.titleSuffix.startsWith(QLatin1String("DIFM (")), qPrintable(c.control));
        QCOMPARE(QUrl(c.address).host(), c.slot <= 18 ? first : second);
    }
}

void ChannelCatalogueTest::bandAndTarobaShareOneStreamAndNoOneElse()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const Channel *band = catalogue.byControl(QStringLiteral("SpeedButton117"));
    const Channel *taroba = catalogue.byControl(QStringLiteral("SpeedButton94"));
    QVERIFY(band && taroba);
    QCOMPARE(band->address, taroba->address);
    QVERIFY(band->titleSuffix != taroba->titleSuffix);

    QHash<QString, QStringList> byAddress;
    for (const Channel &c : catalogue.channels())
        byAddress[c.address] << c.control;
    QCOMPARE(byAddress.size(), 100);
    QCOMPARE(byAddress.value(band->address), QStringList({ u("SpeedButton117"), u("SpeedButton94") }));
}

void ChannelCatalogueTest::directoryListRunsThroughTheLettersOfItsIdentifier_data()
{
    QTest::addColumn<QString>("listBox");
    QTest::addColumn<QString>("titleSuffix");
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<char>("firstLetter");
    QTest::addColumn<char>("ownLetter"); // 0: the channel's own address is on another host

    const auto row = [](const char *listBox, const char *title, const char *id, char first, char own) {
        QTest::newRow(listBox) << u(listBox) << u(title) << u(id) << first << own;
    };
    row("ListBoxRaceWorld", "Race World", "b1810", 'a', 't');
    row("ListBoxDeluxeMusicTV", "Deluxe Music TV", "8033", 'a', 't');
    row("ListBoxBandSports", "Band Sports", "7807", 'a', 't');
    row("ListBoxBandNews", "BANDNEWS", "7259", 'a', 't');
    row("ListBoxESPN", "ESPN", "_b1543", 'a', 0);
    row("ListBoxCNNEspanhol", "CNN Espanhol", "b1493", 'a', 'i');
    row("ListBoxPartyTV", "PARTY TV", "7772", 'a', 'i');
    row("ListBoxSkreem", "Skreem TV", "b1476", 'a', 'i');
    row("ListBoxManiaTV", "ManiaTV!", "7777", 'a', 'i');
    row("ListBoxTunespoon", "Tunespoon", "8088", 'a', 'i');
    row("ListBoxMinistryOfSound", "Ministry Of Sound TV", "8440", 'a', 'l');
    row("ListBoxMixTV", "MIX TV", "6580", 'a', 'j');
    row("ListBoxTvRock", "TV ROCK", "8249", 'a', 'i');
    row("ListBoxEuroTV", "Eurosports", "7819", 'i', 'i');
}

void ChannelCatalogueTest::directoryListRunsThroughTheLettersOfItsIdentifier()
{
    QFETCH(QString, listBox);
    QFETCH(QString, titleSuffix);
    QFETCH(QString, identifier);
    QFETCH(char, firstLetter);
    QFETCH(char, ownLetter);

    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const AlternateList *list = catalogue.alternateList(listBox);
    QVERIFY(list);
    QCOMPARE(list->titleSuffix, titleSuffix);
    QCOMPARE(list->entries.size(), 26);
    for (int i = 0; i < 26; ++i)
        QCOMPARE(list->entries.at(i), directoryEntry(char('a' + (firstLetter - 'a' + i) % 26), identifier));

    const Channel *channel = catalogue.byWindowTitle(QStringLiteral("Lumivortex TV - ") + titleSuffix);
    QVERIFY(channel);
    QCOMPARE(channel->alternateList, listBox);
    QCOMPARE(channel->kind, AddressKind::Asx);
    if (ownLetter) {
        QCOMPARE(channel->address, directoryEntry(ownLetter, identifier));
    } else {
        QVERIFY(QUrl(channel->address).host() != QLatin1String(StreamHosts::TvDirectory));
        QVERIFY(!list->entries.contains(channel->address));
    }
}

void ChannelCatalogueTest::jovemPanListEndsWithTheChannelsOwnAddress()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const AlternateList *list = catalogue.alternateList(QStringLiteral("ListBoxJovemPan"));
    QVERIFY(list);
    const Channel *jovemPan = catalogue.byControl(QStringLiteral("SpeedButton23"));
    QVERIFY(jovemPan);
    QCOMPARE(jovemPan->alternateList, list->listBox);
    QCOMPARE(list->titleSuffix, jovemPan->titleSuffix);
    QCOMPARE(list->entries.size(), 2);
    QVERIFY2(kindViolation(list->entries.at(0), AddressKind::Mms).isEmpty(), qPrintable(list->entries.at(0)));
    QCOMPARE(list->entries.at(1), jovemPan->address);
    QCOMPARE(jovemPan->kind, AddressKind::Script);
}

void ChannelCatalogueTest::everyListBelongsToExactlyOneChannel()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    QSet<QString> listBoxes;
    for (const AlternateList &list : catalogue.alternateLists())
        listBoxes.insert(list.listBox);
    QCOMPARE(listBoxes.size(), 15);

    QSet<QString> used;
    for (const Channel &c : catalogue.channels()) {
        if (c.alternateList.isEmpty())
            continue;
        QVERIFY2(!used.contains(c.alternateList), qPrintable(c.alternateList));
        used.insert(c.alternateList);
        const AlternateList *list = catalogue.alternateList(c.alternateList);
        QVERIFY2(list, qPrintable(c.alternateList));
        QCOMPARE(list->titleSuffix, c.titleSuffix);
    }
    QCOMPARE(used, listBoxes);
}

void ChannelCatalogueTest::textFaceFollowsItsButton_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QColor>("colour"); // invalid: window text

    const QColor windowText;
    const QColor blue(0x0000FF), red(0xFF0000), teal(0x008080), green(0x008000), navy(0x000080),
        maroon(0x800000);
    const auto row = [](const char *control, const char *caption, const char *family, int px, bool bold,
                         bool italic, const QColor &colour) {
        QTest::newRow(control) << u(control) << u(caption) << u(family) << px << bold << italic << colour;
    };
    row("SpeedButton11", "Tunespoon", "MS Sans Serif", 11, false, false, blue);
    row("SpeedButton19", "CBN", "MS Sans Serif", 19, true, false, red);
    row("SpeedButton22", "ManiaTV!", "MS Sans Serif", 11, false, false, teal);
    row("SpeedButton26", "C-Dance", "Ravie", 11, false, false, windowText);
    row("SpeedButton29", "PARTY TV", "MS Sans Serif", 11, false, false, red);
    row("SpeedButton33", "NovoTempo", "Palatino Linotype", 11, false, true, windowText);
    row("SpeedButton35", "€uro TV", "Times New Roman", 13, true, false, blue);
    row("SpeedButton36", "Telecapri", "MS Sans Serif", 11, true, false, red);
    row("SpeedButton62", "E - Music", "MS Sans Serif", 11, true, false, green);
    row("SpeedButton63", "RaceWorld", "MS Serif", 11, true, false, navy);
    row("SpeedButton82", "OnTop", "MS Serif", 13, true, false, green);
    row("SpeedButton83", "Deluxe", "ZapfEllipt BT", 13, true, false, navy);
    row("SpeedButton88", "FIGHT!", "Times New Roman", 15, true, false, windowText);
    row("SpeedButton93", "ponto.com", "Times New Roman", 11, false, false, windowText);
    row("SpeedButton94", "tarobá", "MS Sans Serif", 11, true, false, maroon);
    row("SpeedButton96", "ALLMusic", "MS Sans Serif", 11, true, false, red);
    row("SpeedButton97", "RAI SPORT", "MS Sans Serif", 9, false, false, windowText);
    row("SpeedButton99", "MIX TV", "MS Sans Serif", 11, true, false, red);
    row("SpeedButton100", "EA TV", "MS Serif", 16, true, false, teal);
    row("SpeedButton101", "Asylum TV", "MS Sans Serif", 11, false, false, red);
    row("SpeedButton102", "Yomiuri", "MS Sans Serif", 13, true, false, windowText);
    row("SpeedButton103", "TV ROCK", "MS Sans Serif", 11, true, false, windowText);
    row("SpeedButton122", "ClipLand", "MS Sans Serif", 11, true, false, windowText);
    row("SpeedButton34", "EUA", "MS Sans Serif", 11, false, false, windowText);
}

void ChannelCatalogueTest::textFaceFollowsItsButton()
{
    QFETCH(QString, control);
    QFETCH(QString, caption);
    QFETCH(QString, family);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QColor, colour);

    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    TextFace face;
    if (const Channel *c = catalogue.byControl(control)) {
        QVERIFY(!c->logo);
        QCOMPARE(c->caption, caption);
        face = c->font;
    } else {
        const MenuButton *b = catalogue.menuButton(control);
        QVERIFY(b);
        QCOMPARE(b->caption, caption);
        face = b->font;
    }
    QCOMPARE(face.family, family);
    QCOMPARE(face.pixelSize, pixelSize);
    QCOMPARE(face.bold, bold);
    QCOMPARE(face.italic, italic);
    QCOMPARE(face.colour.isValid(), colour.isValid());
    if (colour.isValid())
        QCOMPARE(face.colour.rgb(), colour.rgb());
}

void ChannelCatalogueTest::unlistedTextButtonsUseTheWindowFont()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const QStringList windowFont = { u("SpeedButton13"), u("SpeedButton28"), u("SpeedButton118") };
    int ownFaces = 0;
    for (const Channel &c : catalogue.channels()) {
        const bool defaultFace = c.font.family.isEmpty() && c.font.pixelSize == 11 && !c.font.bold
            && !c.font.italic && !c.font.colour.isValid();
        if (c.logo || c.isMenuItem() || windowFont.contains(c.control)) {
            QVERIFY2(defaultFace, qPrintable(c.control));
        } else {
            ++ownFaces;
            QVERIFY2(!c.font.family.isEmpty(), qPrintable(c.control));
        }
    }
    QCOMPARE(ownFaces, 23);
    const MenuButton *reinoUnido = catalogue.menuButton(QStringLiteral("SpeedButton98"));
    QVERIFY(reinoUnido);
    QVERIFY(reinoUnido->font.family.isEmpty() && !reinoUnido->font.colour.isValid());
}

void ChannelCatalogueTest::logoResourceOnlyForLogoFaces()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    int logos = 0;
    for (const Channel &c : catalogue.channels()) {
        if (c.logo) {
            ++logos;
            QCOMPARE(c.logoResource(), QStringLiteral(":/logos/") + c.control + QStringLiteral(".png"));
        } else {
            QVERIFY2(c.logoResource().isEmpty(), qPrintable(c.control));
        }
    }
    QCOMPARE(logos, 34);
    QVERIFY(catalogue.menuButton(QStringLiteral("SpeedButton34"))->logoResource().isEmpty());
}

void ChannelCatalogueTest::tabsAreInTheirOrder()
{
    const QVector<CategoryTab> &tabs = ChannelCatalogue::tabs();
    QCOMPARE(tabs.size(), 8);
    const QStringList captions = { u("Brasil"), u("Esporte"), u("Clipes"), u("Notícias"), u("Radio"),
        u("Player"), u("Webcams"), u("Sistema") };
    const QStringList first = { u("PanelBrasil"), u("PanelEsporte"), u("PanelMusicaClipes"),
        u("PanelNoticias"), u("PanelRadio"), u("PanelMediaPlayer"), u("PanelWebcams"), u("PanelMais") };
    const QStringList second = { u("PanelBrasil2"), QString(), u("PanelMusicaClipes2"), u("PanelNoticias2"),
        u("PanelRadio2"), QString(), QString(), QString() };
    for (int i = 0; i < tabs.size(); ++i) {
        QCOMPARE(tabs.at(i).index, i);
        QCOMPARE(tabs.at(i).caption, captions.at(i));
        QCOMPARE(tabs.at(i).firstPage, first.at(i));
        QCOMPARE(tabs.at(i).secondPage, second.at(i));
    }
}

void ChannelCatalogueTest::lookupByControlFindsTheEntry()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const Channel *bandSports = catalogue.byControl(QStringLiteral("SpeedButton3"));
    QVERIFY(bandSports);
    QCOMPARE(bandSports->titleSuffix, QStringLiteral("Band Sports"));
    QCOMPARE(bandSports->alternateList, QStringLiteral("ListBoxBandSports"));
    QVERIFY(!catalogue.byControl(QStringLiteral("SpeedButton20"))); // the DI-FM button tunes nothing
    QVERIFY(!catalogue.byControl(QStringLiteral("speedbutton3")));
    QVERIFY(!catalogue.byControl(QString()));
    for (const Channel &c : catalogue.channels())
        QCOMPARE(catalogue.byControl(c.control), &c);
}

void ChannelCatalogueTest::lookupByWindowTitleNeedsTheExactTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("control"); // empty: no channel

    QTest::newRow("exact") << u("Lumivortex TV - Kirkwood ski") << u("as1");
    QTest::newRow("accents") << u("Lumivortex TV - TV Tarobá") << u("SpeedButton94");
    QTest::newRow("same address, other title") << u("Lumivortex TV - BAND") << u("SpeedButton117");
    QTest::newRow("caption instead of suffix") << u("Lumivortex TV - Kirkwood Ski") << QString();
    QTest::newRow("status appended") << u("Lumivortex TV - ESPN Pronto") << QString();
    QTest::newRow("congested") << u("Lumivortex TV - ESPN Canal Congestionado!") << QString();
    QTest::newRow("start-up title") << u("Lumivortex TV 0.9.29") << QString();
    QTest::newRow("bare suffix") << u("ESPN") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void ChannelCatalogueTest::lookupByWindowTitleNeedsTheExactTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, control);
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const Channel *c = catalogue.byWindowTitle(title);
    QCOMPARE(c ? c->control : QString(), control);
}

void ChannelCatalogueTest::everyChannelIsFoundByItsOwnTitle()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    for (const Channel &c : catalogue.channels())
        QCOMPARE(catalogue.byWindowTitle(ChannelCatalogue::windowTitleFor(c)), &c);
}

void ChannelCatalogueTest::alternateListFoundOnlyByItsChannelsTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("listBox"); // empty: no list

    QTest::newRow("Band Sports") << u("Lumivortex TV - Band Sports") << u("ListBoxBandSports");
    QTest::newRow("Eurosports") << u("Lumivortex TV - Eurosports") << u("ListBoxEuroTV");
    QTest::newRow("Jovem Pan") << u("Lumivortex TV - Radio Jovem Pan Maringá") << u("ListBoxJovemPan");
    QTest::newRow("tooltip is no title") << u("Lumivortex TV - Euro TV") << QString();
    QTest::newRow("channel without a list") << u("Lumivortex TV - BAND") << QString();
    QTest::newRow("shared address, no list") << u("Lumivortex TV - TV Tarobá") << QString();
    QTest::newRow("status appended") << u("Lumivortex TV - Band Sports Pronto") << QString();
    QTest::newRow("start-up title") << u("Lumivortex TV 0.9.29") << QString();
}

void ChannelCatalogueTest::alternateListFoundOnlyByItsChannelsTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, listBox);
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    const AlternateList *list = catalogue.alternateListForTitle(title);
    QCOMPARE(list ? list->listBox : QString(), listBox);
}

void ChannelCatalogueTest::setAddressChangesOnlyThatChannelInThatCopy()
{
    ChannelCatalogue mine = ChannelCatalogue::builtIn();
    const QString before = mine.byControl(QStringLiteral("SpeedButton117"))->address;
    const QString replaced = QStringLiteral("http://127.0.0.1:8080/band");
    mine.setAddress(QStringLiteral("SpeedButton117"), replaced);

    QCOMPARE(mine.byControl(QStringLiteral("SpeedButton117"))->address, replaced);
    QCOMPARE(mine.byControl(QStringLiteral("SpeedButton94"))->address, before);
    QCOMPARE(ChannelCatalogue::builtIn().byControl(QStringLiteral("SpeedButton117"))->address, before);
    QCOMPARE(mine.byWindowTitle(QStringLiteral("Lumivortex TV - BAND"))->address, replaced);

    const QVector<Channel> all = mine.channels();
    mine.setAddress(QStringLiteral("NoSuchButton"), replaced);
    QCOMPARE(mine.channels().size(), all.size());
    for (int i = 0; i < all.size(); ++i)
        QCOMPARE(mine.channels().at(i).address, all.at(i).address);
}

void ChannelCatalogueTest::setAlternateEntriesChangesOnlyThatList()
{
    ChannelCatalogue mine = ChannelCatalogue::builtIn();
    const QStringList entries = { u("http://127.0.0.1:8080/a.asx"), u("http://127.0.0.1:8080/b.asx") };
    mine.setAlternateEntries(QStringLiteral("ListBoxBandSports"), entries);

    QCOMPARE(mine.alternateListForTitle(QStringLiteral("Lumivortex TV - Band Sports"))->entries, entries);
    QCOMPARE(mine.alternateList(QStringLiteral("ListBoxBandNews"))->entries.size(), 26);
    QCOMPARE(
        ChannelCatalogue::builtIn().alternateList(QStringLiteral("ListBoxBandSports"))->entries.size(), 26);

    mine.setAlternateEntries(QStringLiteral("ListBox1"), entries);
    QCOMPARE(mine.alternateLists().size(), 15);
    QVERIFY(!mine.alternateList(QStringLiteral("ListBox1")));
}

QTEST_GUILESS_MAIN(ChannelCatalogueTest)
#include "channelcatalogue_test.moc"

// The built-in catalogue: every channel, channel-menu button, text face and
// alternate-address list of the program, in one table.

#include "channels/ChannelCatalogue.h"
#include "channels/StreamHosts.h"

#include <iterator>

namespace
{

using K = AddressKind;
using namespace StreamHosts;

constexpr const char *Logo = nullptr; // face column: the button shows its logo

// BAND and TV Tarobá are one broadcast; only their titles tell them apart.
constexpr char SharedBandStream[] = "/band";

struct Row {
    const char *control;
    const char *container;
    int slot;
    const char *caption; // Logo, a button's text face, or a menu item's caption
    const char *tooltip; // nullptr for menu items
    const char *titleSuffix;
    AddressKind kind;
    const char *host;
    const char *target; // ":port", path and query, appended to the host
    const char *alternateList;
    bool switchesReconnectionOff;
};

// clang-format off
constexpr Row Rows[] = {
    // Tab "Brasil", first page.
    {"SpeedButton2",   "PanelBrasil", 1, Logo, "SBT (Alterosa)", "SBT (Alterosa)", K::Http, Stream, ":8010", nullptr, true},
    {"SpeedButton90",  "PanelBrasil", 2, Logo, "Globo", "TV Globo", K::Mms, Stream, "/tvglobo", nullptr, false},
    {"SpeedButton117", "PanelBrasil", 3, Logo, "BAND", "BAND", K::Mms, Stream, SharedBandStream, nullptr, false},
    {"SpeedButton4",   "PanelBrasil", 4, Logo, "Rede TV!", "RedeTV", K::Mms, Stream, ":1755/redetv", nullptr, false},
    {"SpeedButton7",   "PanelBrasil", 5, Logo, "Amazon SAT", "AMAZONSAT", K::Mms, Stream, "/amazonsat", nullptr, false},
    {"SpeedButton15",  "PanelBrasil", 6, Logo, "All TV", "AllTV", K::Mms, Stream, "/alltv", nullptr, false},
    {"SpeedButton27",  "PanelBrasil", 7, Logo, "Canal 21", "Canal 21", K::Http, Stream, "/canal21/live", nullptr, false},
    {"SpeedButton37",  "PanelBrasil", 8, Logo, "TV Senado", "TV Senado", K::Mms, Stream, "/tvsenado", nullptr, false},
    // Tab "Brasil", second page.
    {"SpeedButton1",   "PanelBrasil2", 1, Logo, "TVE", "TVE", K::Mms, Stream, "/tve", nullptr, false},
    {"SpeedButton93",  "PanelBrasil2", 2, "ponto.com", "Ponto.com", "TV Ponto.com", K::Mms, Stream, "/tvpontocom", nullptr, false},
    {"SpeedButton94",  "PanelBrasil2", 3, "tarobá", "Tarobá", "TV Tarobá", K::Mms, Stream, SharedBandStream, nullptr, false},
    {"SpeedButton32",  "PanelBrasil2", 4, Logo, "Canção Nova", "Canção Nova", K::Asx, Stream, "/cancaonova.asx", nullptr, false},
    {"SpeedButton33",  "PanelBrasil2", 5, "NovoTempo", "Novo Tempo", "TV Novo Tempo", K::Mms, Stream, "/novotempo", nullptr, false},
    {"SpeedButton99",  "PanelBrasil2", 6, "MIX TV", "Mix TV", "MIX TV", K::Asx, TvDirectory, "/j_tv/6580.asx", "ListBoxMixTV", false},
    {"SpeedButton8",   "PanelBrasil2", 7, Logo, "TV Litoral", "TV Litoral", K::Mms, Stream, ":1755/tvlitoral", nullptr, true},
    {"SpeedButton118", "PanelBrasil2", 8, "TV BSB", "TV Brasília", "TV Brasília", K::Mms, Stream, "/tvbrasilia", nullptr, false},
    // Tab "Esporte".
    {"SpeedButton3",   "PanelEsporte", 1, Logo, "BAND SPORTS", "Band Sports", K::Asx, TvDirectory, "/t_tv/7807.asx", "ListBoxBandSports", false},
    {"SpeedButton35",  "PanelEsporte", 2, "€uro TV", "Euro TV", "Eurosports", K::Asx, TvDirectory, "/i_tv/7819.asx", "ListBoxEuroTV", false},
    {"SpeedButton36",  "PanelEsporte", 3, "Telecapri", "Telecapri", "Telecapri", K::Asx, Stream, "/telecapri.asx", nullptr, false},
    {"SpeedButton63",  "PanelEsporte", 4, "RaceWorld", "Race World", "Race World", K::Asx, TvDirectory, "/t_tv/b1810.asx", "ListBoxRaceWorld", false},
    {"SpeedButton86",  "PanelEsporte", 5, Logo, "Boardriders TV", "Boardriders TV", K::Asx, Stream, "/boardriders.asx", nullptr, false},
    {"SpeedButton87",  "PanelEsporte", 6, Logo, "ESPN", "ESPN", K::Asx, Stream, "/espn/live.asx", "ListBoxESPN", false},
    {"SpeedButton88",  "PanelEsporte", 7, "FIGHT!", "Fight TV", "Fight Euro", K::Asx, Stream, "/fighteuro.asx", nullptr, false},
    {"SpeedButton97",  "PanelEsporte", 8, "RAI SPORT", "Rai Sports", "RAI SPORT", K::Http, Stream, "/raisport.wmv", nullptr, false},
    // Tab "Clipes", first page.
    {"SpeedButton6",   "PanelMusicaClipes", 1, Logo, "Music Plus", "Music Plus TV", K::Asx, Stream, "/musicplus.asx", nullptr, false},
    {"SpeedButton9",   "PanelMusicaClipes", 2, Logo, "Ministry of Sound", "Ministry Of Sound TV", K::Asx, TvDirectory, "/l_tv/8440.asx", "ListBoxMinistryOfSound", false},
    {"SpeedButton10",  "PanelMusicaClipes", 3, Logo, "DeeJay TV", "Deejay TV", K::Script, Script, "/tv/play.aspx?channel=deejaytv", nullptr, false},
    {"SpeedButton11",  "PanelMusicaClipes", 4, "Tunespoon", "Tunespoon", "Tunespoon", K::Asx, TvDirectory, "/i_tv/8088.asx", "ListBoxTunespoon", false},
    {"SpeedButton22",  "PanelMusicaClipes", 5, "ManiaTV!", "Mania TV!", "ManiaTV!", K::Asx, TvDirectory, "/i_tv/7777.asx", "ListBoxManiaTV", false},
    {"SpeedButton28",  "PanelMusicaClipes", 6, "Skreem", "Skreem TV", "Skreem TV", K::Asx, TvDirectory, "/i_tv/b1476.asx", "ListBoxSkreem", false},
    {"SpeedButton29",  "PanelMusicaClipes", 7, "PARTY TV", "Party TV", "PARTY TV", K::Asx, TvDirectory, "/i_tv/7772.asx", "ListBoxPartyTV", false},
    {"SpeedButton62",  "PanelMusicaClipes", 8, "E - Music", "E-Music", "E-Music", K::Script, Script, "/cgi-bin/stream.cgi?id=emusic", nullptr, false},
    // Tab "Clipes", second page.
    {"SpeedButton82",  "PanelMusicaClipes2", 1, "OnTop", "On Top TV", "On Top TV", K::Asx, Stream, "/ontoptv.asx", nullptr, false},
    {"SpeedButton83",  "PanelMusicaClipes2", 2, "Deluxe", "Deluxe", "Deluxe Music TV", K::Asx, TvDirectory, "/t_tv/8033.asx", "ListBoxDeluxeMusicTV", false},
    {"SpeedButton96",  "PanelMusicaClipes2", 3, "ALLMusic", "ALL Music", "ALL MUSIC", K::Mms, Stream, "/allmusic", nullptr, false},
    {"SpeedButton100", "PanelMusicaClipes2", 4, "EA TV", "EA TV", "EA TV", K::Asx, Stream, "/eatv.asx", nullptr, false},
    {"SpeedButton101", "PanelMusicaClipes2", 5, "Asylum TV", "Asylum TV", "Asylum TV", K::Mms, Stream, "/asylumtv", nullptr, false},
    {"SpeedButton103", "PanelMusicaClipes2", 6, "TV ROCK", "TV ROCK", "TV ROCK", K::Asx, TvDirectory, "/i_tv/8249.asx", "ListBoxTvRock", false},
    {"SpeedButton114", "PanelMusicaClipes2", 7, Logo, "Fashion TV", "Fashion TV", K::Asx, Stream, "/fashiontv.asx", nullptr, false},
    {"SpeedButton122", "PanelMusicaClipes2", 8, "ClipLand", "ClipLand", "ClipLand", K::Asx, Stream, "/clipland.asx", nullptr, false},
    // Tab "Notícias", first page.
    {"SpeedButton5",   "PanelNoticias", 1, Logo, "Band News", "BANDNEWS", K::Asx, TvDirectory, "/t_tv/7259.asx", "ListBoxBandNews", false},
    {"SpeedButton12",  "PanelNoticias", 2, Logo, "Al Jazeera", "Al Jazeera", K::Mms, Stream, "/aljazeera", nullptr, false},
    {"SpeedButton13",  "PanelNoticias", 3, "Bloomberg", "Bloomberg", "Bloomberg USA", K::Asx, Stream, "/bloomberg-usa.asx", nullptr, false},
    {"SpeedButton30",  "PanelNoticias", 4, Logo, "CTV", "CTV", K::Mms, Stream, "/ctv", nullptr, false},
    {"SpeedButton31",  "PanelNoticias", 5, Logo, "BBC", "BBC", K::Asx, Stream, "/bbc.asx", nullptr, false},
    {"SpeedButton38",  "PanelNoticias", 6, Logo, "NASA TV", "NASA TV", K::Asx, Stream, "/nasatv.asx", nullptr, false},
    {"SpeedButton64",  "PanelNoticias", 7, Logo, "CNN", "CNN", K::Script, Script, "/tune.php?channel=cnn", nullptr, false},
    {"SpeedButton102", "PanelNoticias", 8, "Yomiuri", "Yomiuri", "Yomiuri News", K::Asx, Stream, "/yomiuri.asx", nullptr, false},
    // Tab "Notícias", second page.
    {"SpeedButton105", "PanelNoticias2", 1, Logo, "Cuba Vision", "Cuba Vision TV", K::Http, Stream, ":8020/cubavision", nullptr, false},
    {"SpeedButton119", "PanelNoticias2", 2, Logo, "CNN Espanhol", "CNN Espanhol", K::Asx, TvDirectory, "/i_tv/b1493.asx", "ListBoxCNNEspanhol", false},
    // Tab "Radio", first page; slot 8 is the DI-FM menu button.
    {"SpeedButton19",  "PanelRadio", 1, "CBN", "CBN", "Radio CBN", K::Asx, Stream, "/radiocbn.asx", nullptr, false},
    {"SpeedButton23",  "PanelRadio", 2, Logo, "Jovem Pan Maringá", "Radio Jovem Pan Maringá", K::Script, Script, "/radio.php?station=jovempan-maringa", "ListBoxJovemPan", false},
    {"SpeedButton116", "PanelRadio", 3, Logo, "Transamerica Hits", "Radio Transamerica Hits", K::Mms, Stream, "/transamerica-hits", nullptr, false},
    {"SpeedButton21",  "PanelRadio", 4, Logo, "Transamerica Pop", "Radio Transamerica Pop", K::Http, Stream, ":8030", nullptr, false},
    {"SpeedButton24",  "PanelRadio", 5, Logo, "Radio Terra", "Radio Terra", K::Asx, Stream, "/radioterra.asx", nullptr, false},
    {"SpeedButton25",  "PanelRadio", 6, Logo, "WebRadio Turbo", "WebRadio Turbo", K::Script, Script, "/?stream=webradioturbo", nullptr, false},
    {"SpeedButton26",  "PanelRadio", 7, "C-Dance", "C-Dance", "Radio C-Dance", K::Mms, Stream, "/cdance", nullptr, false},
    // Tab "Radio", second page.
    {"SpeedButton104", "PanelRadio2", 1, Logo, "Globo FM", "Globo FM", K::Asx, Stream, "/globofm.asx", nullptr, false},
    {"SpeedButton115", "PanelRadio2", 2, Logo, "Radio Mais", "Radio Mais", K::Http, Stream, "/radiomais.wma", nullptr, false},
    {"SpeedButton14",  "PanelRadio2", 3, Logo, "Radio Fênix", "Radio Fênix", K::Asx, Stream, "/radiofenix.asx", nullptr, false},
    // DI-FM menu: items 1 to 18 on one radio network, 19 to 27 on the other.
    {"rance1",              "PopupMenu2", 1, "Trance", nullptr, "DIFM (Trance)", K::Asx, RadioNetwork, "/listen/trance.asx", nullptr, false},
    {"VocalTrance1",        "PopupMenu2", 2, "Vocal Trance", nullptr, "DIFM (Vocal Trance)", K::Asx, RadioNetwork, "/listen/vocaltrance.asx", nullptr, false},
    {"ChillOut1",           "PopupMenu2", 3, "ChillOut", nullptr, "DIFM (Chill Out)", K::Asx, RadioNetwork, "/listen/chillout.asx", nullptr, false},
    {"DeepHouse1",          "PopupMenu2", 4, "House", nullptr, "DIFM (Deep House)", K::Asx, RadioNetwork, "/listen/deephouse.asx", nullptr, false},
    {"HardDance1",          "PopupMenu2", 5, "Hard Dance", nullptr, "DIFM (Hard Dance)", K::Asx, RadioNetwork, "/listen/harddance.asx", nullptr, false},
    {"EuroDance1",          "PopupMenu2", 6, "Euro Dance", nullptr, "DIFM (Euro Dance)", K::Asx, RadioNetwork, "/listen/eurodance.asx", nullptr, false},
    {"Progressive1",        "PopupMenu2", 7, "Progressive", nullptr, "DIFM (Progressive)", K::Asx, RadioNetwork, "/listen/progressive.asx", nullptr, false},
    {"GoaSpyTrance1",       "PopupMenu2", 8, "Goa-Psy Trance", nullptr, "DIFM (Goa-Psy Trance)", K::Asx, RadioNetwork, "/listen/goapsy.asx", nullptr, false},
    {"HardCore1",           "PopupMenu2", 9, "Hard Core", nullptr, "DIFM (Hard Core)", K::Asx, RadioNetwork, "/listen/hardcore.asx", nullptr, false},
    {"DJMixies1",           "PopupMenu2", 10, "DJ Mixies", nullptr, "DIFM (DJ Mixies)", K::Asx, RadioNetwork, "/listen/djmixes.asx", nullptr, false},
    {"DrumnBass1",          "PopupMenu2", 11, "Drum 'n Bass", nullptr, "DIFM (Drum n Bass)", K::Asx, RadioNetwork, "/listen/drumandbass.asx", nullptr, false},
    {"ClassicElectronica1", "PopupMenu2", 12, "Classic Electronica", nullptr, "DIFM (Classic Techno)", K::Asx, RadioNetwork, "/listen/classictechno.asx", nullptr, false},
    {"MostlyClassical1",    "PopupMenu2", 13, "Mostly Classical", nullptr, "DIFM (Mostly Classical)", K::Asx, RadioNetwork, "/listen/mostlyclassical.asx", nullptr, false},
    {"NewAge1",             "PopupMenu2", 14, "New Age", nullptr, "DIFM (New Age)", K::Asx, RadioNetwork, "/listen/newage.asx", nullptr, false},
    {"LoungeBETA1",         "PopupMenu2", 15, "Lounge BETA", nullptr, "DIFM (Lounge BETA)", K::Asx, RadioNetwork, "/listen/lounge.asx", nullptr, false},
    {"Ambient1",            "PopupMenu2", 16, "Ambient", nullptr, "DIFM (Ambient)", K::Asx, RadioNetwork, "/listen/ambient.asx", nullptr, false},
    {"Breaks1",             "PopupMenu2", 17, "Breaks", nullptr, "DIFM (Breaks)", K::Asx, RadioNetwork, "/listen/breaks.asx", nullptr, false},
    {"Gabber1",             "PopupMenu2", 18, "Gabber", nullptr, "DIFM (Gabber)", K::Asx, RadioNetwork, "/listen/gabber.asx", nullptr, false},
    {"ClassicalGuitar1",    "PopupMenu2", 19, "Classical Guitar", nullptr, "DIFM (Classical Guitar)", K::Asx, RadioNetwork2, "/listen/classicalguitar.asx", nullptr, false},
    {"SmoothJazz1",         "PopupMenu2", 20, "Smooth Jazz", nullptr, "DIFM (Smooth Jazz)", K::Asx, RadioNetwork2, "/listen/smoothjazz.asx", nullptr, false},
    {"opHits1",             "PopupMenu2", 21, "Top Hits", nullptr, "DIFM (Top Hits)", K::Asx, RadioNetwork2, "/listen/tophits.asx", nullptr, false},
    {"Bestofthe80s1",       "PopupMenu2", 22, "Best of the 80's", nullptr, "DIFM (Best of 80s)", K::Asx, RadioNetwork2, "/listen/bestof80s.asx", nullptr, false},
    {"RootsReggae1",        "PopupMenu2", 23, "Roots Reggae", nullptr, "DIFM (Roots Reggae)", K::Asx, RadioNetwork2, "/listen/rootsreggae.asx", nullptr, false},
    {"Hit70s1",             "PopupMenu2", 24, "Hit 70's", nullptr, "DIFM (Hit 70s)", K::Asx, RadioNetwork2, "/listen/hit70s.asx", nullptr, false},
    {"Country1",            "PopupMenu2", 25, "Country", nullptr, "DIFM (Country)", K::Asx, RadioNetwork2, "/listen/country.asx", nullptr, false},
    {"ModernJazz1",         "PopupMenu2", 26, "Modern Jazz", nullptr, "DIFM (Modern Jazz)", K::Asx, RadioNetwork2, "/listen/modernjazz.asx", nullptr, false},
    {"Salsa1",              "PopupMenu2", 27, "Salsa", nullptr, "DIFM (Salsa)", K::Asx, RadioNetwork2, "/listen/salsa.asx", nullptr, false},
    // USA webcam menu.
    {"DaytonaBeach1",  "PopupMenu_EUA_Webcam", 1, "Daytona Beach", nullptr, "Daytona Beach", K::Mms, Webcam, "/daytonabeach", nullptr, false},
    {"FtLauderdale1",  "PopupMenu_EUA_Webcam", 2, "Ft. Lauderdale Beach", nullptr, "Ft. Lauderdale Beach", K::Mms, Webcam, "/ftlauderdale", nullptr, false},
    {"a1",             "PopupMenu_EUA_Webcam", 3, "Waikiki Beach, Honolulu", nullptr, "Waikiki Beach, Honolulu", K::Script, Script, "/webcam.cgi?cam=waikiki", nullptr, false},
    {"b1",             "PopupMenu_EUA_Webcam", 4, "Wrightsville Beach", nullptr, "Wrightsville Beach", K::Mms, Webcam, "/wrightsville", nullptr, false},
    {"c1",             "PopupMenu_EUA_Webcam", 5, "Hog's Breath Saloon", nullptr, "Hog's Breath Saloon", K::Asx, Webcam, "/hogsbreath.asx", nullptr, false},
    {"d1",             "PopupMenu_EUA_Webcam", 6, "Blue Montain Ski", nullptr, "Blue Montain Ski", K::Http, Webcam, "/bluemountain", nullptr, false},
    {"as1",            "PopupMenu_EUA_Webcam", 7, "Kirkwood Ski", nullptr, "Kirkwood ski", K::Mms, Webcam, "/kirkwood", nullptr, false},
    {"v1",             "PopupMenu_EUA_Webcam", 8, "Monterey Bay", nullptr, "Monterey Bay", K::Asx, Webcam, "/montereybay.asx", nullptr, false},
    {"MontereyBay21",  "PopupMenu_EUA_Webcam", 9, "Monterey Bay 2", nullptr, "Monterey Bay 2", K::Http, Webcam, ":8041", nullptr, false},
    {"NASDAQ1",        "PopupMenu_EUA_Webcam", 10, "NASDAQ", nullptr, "NASDAQ", K::Asx, Webcam, "/nasdaq.asx", nullptr, false},
    {"SanDiegoCA1",    "PopupMenu_EUA_Webcam", 11, "San Diego, CA", nullptr, "San Diego, CA", K::Mms, Webcam, ":1755/sandiego", nullptr, false},
    {"imesSquare1",    "PopupMenu_EUA_Webcam", 12, "Times Square", nullptr, "Times Square", K::Http, Webcam, "/timessquare.asf", nullptr, false},
    // United Kingdom webcam menu.
    {"Exmounth1",      "PopupMenu_ReinoUnido_Webcam", 1, "Exmounth", nullptr, "Exmounth", K::Mms, Webcam, "/exmouth", nullptr, false},
    // Main context menu.
    {"Previsodotempo1", "PopupMenu1", 1, "Previsão do tempo", nullptr, "Clima Tempo", K::Asx, Stream, "/climatempo.asx", nullptr, false},
};
// clang-format on

struct MenuButtonRow {
    const char *control;
    const char *container;
    int slot;
    const char *caption;
    const char *tooltip;
    const char *menu;
    int verticalOffset;
};

constexpr MenuButtonRow MenuButtons[] = {
    { "SpeedButton20", "PanelRadio", 8, Logo, "DI-FM", "PopupMenu2", -415 },
    { "SpeedButton34", "PanelWebcams", 1, "EUA", "WebCams EUA", "PopupMenu_EUA_Webcam", -165 },
    { "SpeedButton98", "PanelWebcams", 2, "ReinoUnido", "WebCams Reino Unido", "PopupMenu_ReinoUnido_Webcam",
        22 },
};

enum Style { Regular = 0, Bold = 1, Italic = 2 };

// Named text colours of the channel faces; WindowText leaves the colour invalid.
constexpr QRgb WindowText = 0;
constexpr QRgb Blue = 0xFF0000FF, Red = 0xFFFF0000, Teal = 0xFF008080, Green = 0xFF008000, Navy = 0xFF000080,
               Maroon = 0xFF800000;

struct FaceRow {
    const char *control;
    const char *family;
    int pixelSize;
    int style;
    QRgb colour;
};

// Text-faced buttons not listed here use the window font.
constexpr FaceRow Faces[] = {
    { "SpeedButton11", "MS Sans Serif", 11, Regular, Blue },
    { "SpeedButton19", "MS Sans Serif", 19, Bold, Red },
    { "SpeedButton22", "MS Sans Serif", 11, Regular, Teal },
    { "SpeedButton26", "Ravie", 11, Regular, WindowText },
    { "SpeedButton29", "MS Sans Serif", 11, Regular, Red },
    { "SpeedButton33", "Palatino Linotype", 11, Italic, WindowText },
    { "SpeedButton35", "Times New Roman", 13, Bold, Blue },
    { "SpeedButton36", "MS Sans Serif", 11, Bold, Red },
    { "SpeedButton62", "MS Sans Serif", 11, Bold, Green },
    { "SpeedButton63", "MS Serif", 11, Bold, Navy },
    { "SpeedButton82", "MS Serif", 13, Bold, Green },
    { "SpeedButton83", "ZapfEllipt BT", 13, Bold, Navy },
    { "SpeedButton88", "Times New Roman", 15, Bold, WindowText },
    { "SpeedButton93", "Times New Roman", 11, Regular, WindowText },
    { "SpeedButton94", "MS Sans Serif", 11, Bold, Maroon },
    { "SpeedButton96", "MS Sans Serif", 11, Bold, Red },
    { "SpeedButton97", "MS Sans Serif", 9, Regular, WindowText },
    { "SpeedButton99", "MS Sans Serif", 11, Bold, Red },
    { "SpeedButton100", "MS Serif", 16, Bold, Teal },
    { "SpeedButton101", "MS Sans Serif", 11, Regular, Red },
    { "SpeedButton102", "MS Sans Serif", 13, Bold, WindowText },
    { "SpeedButton103", "MS Sans Serif", 11, Bold, WindowText },
    { "SpeedButton122", "MS Sans Serif", 11, Bold, WindowText },
    { "SpeedButton34", "MS Sans Serif", 11, Regular, WindowText },
};

// Fourteen lists are the 26 mirror letters of one identifier on the TV
// directory, starting at firstLetter and wrapping from z to a.
struct DirectoryListRow {
    const char *listBox;
    const char *titleSuffix;
    const char *identifier;
    char firstLetter;
};

constexpr DirectoryListRow DirectoryLists[] = {
    { "ListBoxRaceWorld", "Race World", "b1810", 'a' },
    { "ListBoxDeluxeMusicTV", "Deluxe Music TV", "8033", 'a' },
    { "ListBoxBandSports", "Band Sports", "7807", 'a' },
    { "ListBoxBandNews", "BANDNEWS", "7259", 'a' },
    { "ListBoxESPN", "ESPN", "_b1543", 'a' },
    { "ListBoxCNNEspanhol", "CNN Espanhol", "b1493", 'a' },
    { "ListBoxPartyTV", "PARTY TV", "7772", 'a' },
    { "ListBoxSkreem", "Skreem TV", "b1476", 'a' },
    { "ListBoxManiaTV", "ManiaTV!", "7777", 'a' },
    { "ListBoxTunespoon", "Tunespoon", "8088", 'a' },
    { "ListBoxMinistryOfSound", "Ministry Of Sound TV", "8440", 'a' },
    { "ListBoxMixTV", "MIX TV", "6580", 'a' },
    { "ListBoxTvRock", "TV ROCK", "8249", 'a' },
    { "ListBoxEuroTV", "Eurosports", "7819", 'i' },
};

// Jovem Pan: the station's own MMS stream first, then the channel's address.
constexpr char JovemPanList[] = "ListBoxJovemPan";
constexpr char JovemPanStation[] = "/jovempan-maringa";

QString text(const char *utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

QString address(AddressKind kind, const char *host, const char *target)
{
    const auto scheme = kind == AddressKind::Mms ? QLatin1String("mms://") : QLatin1String("http://");
    return scheme + QLatin1String(host) + QLatin1String(target);
}

TextFace faceOf(const QString &control)
{
    for (const FaceRow &f : Faces) {
        if (control == QLatin1String(f.control)) {
            TextFace face;
            face.family = QLatin1String(f.family);
            face.pixelSize = f.pixelSize;
            face.bold = f.style & Bold;
            face.italic = f.style & Italic;
            if (f.colour != WindowText)
                face.colour = QColor::fromRgb(f.colour);
            return face;
        }
    }
    return {};
}

QString directoryAddress(QChar letter, const QString &identifier)
{
    return QLatin1String("http://") + QLatin1String(TvDirectory) + QLatin1Char('/') + letter
        + QLatin1String("_tv/") + identifier + QLatin1String(".asx");
}

} // namespace

ChannelCatalogue ChannelCatalogue::builtIn()
{
    // Built once; each caller gets an implicitly shared copy.
    static const ChannelCatalogue table = [] {
        ChannelCatalogue c;
        c.m_channels.reserve(int(std::size(Rows)));
        for (const Row &r : Rows) {
            Channel ch;
            ch.control = QLatin1String(r.control);
            ch.container = QLatin1String(r.container);
            ch.slot = r.slot;
            ch.logo = r.caption == Logo;
            ch.caption = text(r.caption);
            if (!ch.logo && !ch.isMenuItem())
                ch.font = faceOf(ch.control);
            ch.tooltip = text(r.tooltip);
            ch.titleSuffix = text(r.titleSuffix);
            ch.address = address(r.kind, r.host, r.target);
            ch.kind = r.kind;
            ch.alternateList = text(r.alternateList);
            ch.switchesReconnectionOff = r.switchesReconnectionOff;
            c.m_channels.append(ch);
        }

        for (const MenuButtonRow &r : MenuButtons) {
            MenuButton b { QLatin1String(r.control), QLatin1String(r.container), r.slot, r.caption == Logo,
                text(r.caption), text(r.tooltip), QLatin1String(r.menu), r.verticalOffset, {} };
            if (!b.logo)
                b.font = faceOf(b.control);
            c.m_menuButtons.append(b);
        }

        for (const DirectoryListRow &r : DirectoryLists) {
            AlternateList list { QLatin1String(r.listBox), text(r.titleSuffix), {} };
            const QString identifier = QLatin1String(r.identifier);
            for (int i = 0; i < 26; ++i)
                list.entries.append(
                    directoryAddress(QLatin1Char(char('a' + (r.firstLetter - 'a' + i) % 26)), identifier));
            c.m_lists.append(list);
        }
        AlternateList jovemPan { QLatin1String(JovemPanList), QString(), {} };
        for (const Channel &ch : qAsConst(c.m_channels)) {
            if (ch.alternateList == jovemPan.listBox) {
                jovemPan.titleSuffix = ch.titleSuffix;
                jovemPan.entries = { address(AddressKind::Mms, Stream, JovemPanStation), ch.address };
            }
        }
        c.m_lists.append(jovemPan);

        c.index();
        return c;
    }();
    return table;
}

const QVector<CategoryTab> &ChannelCatalogue::tabs()
{
    static const QVector<CategoryTab> tabs = {
        { 0, QStringLiteral("Brasil"), QStringLiteral("PanelBrasil"), QStringLiteral("PanelBrasil2") },
        { 1, QStringLiteral("Esporte"), QStringLiteral("PanelEsporte"), QString() },
        { 2, QStringLiteral("Clipes"), QStringLiteral("PanelMusicaClipes"),
            QStringLiteral("PanelMusicaClipes2") },
        { 3, QString::fromUtf8("Notícias"), QStringLiteral("PanelNoticias"),
            QStringLiteral("PanelNoticias2") },
        { 4, QStringLiteral("Radio"), QStringLiteral("PanelRadio"), QStringLiteral("PanelRadio2") },
        { 5, QStringLiteral("Player"), QStringLiteral("PanelMediaPlayer"), QString() },
        { 6, QStringLiteral("Webcams"), QStringLiteral("PanelWebcams"), QString() },
        { 7, QStringLiteral("Sistema"), QStringLiteral("PanelMais"), QString() },
    };
    return tabs;
}

#pragma once

#include <QString>

// The fatal failure when the media engine cannot be set up or rejects a tune.
// The texts name the Windows player the program was first made for; users know them.
namespace OldPlayerFailure
{
inline QString downloadPage()
{
    return QStringLiteral("https://lumivortex.example/player");
}
inline QString startupMessage()
{
    return QStringLiteral(
               "Você possui uma versão antiga do Windows Media Player, para poder assistir canais pelo "
               "Lumivortex baixe agora o Windows Media Player 10 ou posterior em: ")
        + downloadPage();
}
inline QString tuneMessage()
{
    return QStringLiteral(
               "Você possui uma versão antiga do Windows Media Player, para poder assistir canais pelo "
               "Lumivortex baixe agora o Windows Media Player 10 em: ")
        + downloadPage();
}
} // namespace OldPlayerFailure

#include "player/StatusText.h"

QString statusText(MediaEngine::State state, int bufferPercent)
{
    using State = MediaEngine::State;
    switch (state) {
    case State::Idle:
    case State::Failed:
        return QStringLiteral("Pronto");
    case State::Opening:
        return QStringLiteral("Conectando...");
    case State::Buffering:
        return QStringLiteral("Armazenando em buffer (%1%)").arg(bufferPercent);
    case State::Playing:
        return QStringLiteral("Reproduzindo");
    case State::Paused:
        return QStringLiteral("Em pausa");
    case State::Stopped:
    case State::Ended:
        return QStringLiteral("Parado");
    }
    return QString();
}

QString switchingSourceText()
{
    return QString::fromUtf8("Trocando de fonte…");
}

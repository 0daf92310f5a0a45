#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <cstdio>

// Writes XMLTV guides shaped like the big public ones (epg.pw, iptv-org's
// guides): ids like "Canal123.br", Portuguese names, programmes back to back
// of 30 to 120 minutes with a title, usually a sub-title, a description
// (a show's own most of the time, an episode's own now and then; a programme to a line), a category,
// an episode number and a ClassInd rating, -0300 offsets. Fast: one pass of
// formatted writes, no XML library.
class GuideGenerator
{
public:
    struct Shape {
        int channels = 2700;
        int days = 7;
        qint64 from = 0; // seconds since 1970 UTC; the first programme of each channel
        int minutesPerProgramme = 55; // on average
    };

    static QByteArray channelId(int channel) { return "Canal" + QByteArray::number(channel) + ".br"; }
    static QString channelName(int channel) { return QStringLiteral("Canal %1").arg(channel); }

    // Returns the programmes written; 0 when the file could not be written.
    static qint64 write(const QString &path, const Shape &shape)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        QByteArray out;
        out.reserve(1 << 20);
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
               "<tv generator-info-name=\"lumivortex-bench\">\n";
        for (int c = 0; c < shape.channels; ++c) {
            out += "  <channel id=\"" + channelId(c) + "\"><display-name lang=\"pt\">"
                + channelName(c).toUtf8() + "</display-name><icon src=\"https://logos.test/"
                + QByteArray::number(c) + ".png\"/>\n  </channel>\n";
        }
        quint32 random = 12345;
        auto next = [&random](quint32 bound) {
            random = random * 1664525u + 1013904223u;
            return (random >> 8) % bound;
        };
        qint64 programmes = 0;
        const qint64 end = shape.from + qint64(shape.days) * 86400;
        for (int c = 0; c < shape.channels; ++c) {
            const QByteArray id = channelId(c);
            int episode = 0;
            for (qint64 t = shape.from; t < end; ++programmes) {
                const qint64 length
                    = 60 * (30 + 5 * qint64(next(quint32(shape.minutesPerProgramme - 30) * 2 / 5 + 1)));
                const int show = int(next(40));
                ++episode;
                out += "<programme start=\"" + stamp(t) + "\" stop=\"" + stamp(t + length) + "\" channel=\""
                    + id + "\"><title lang=\"pt\">" + Titles[show % 20] + ' ' + QByteArray::number(show)
                    + "</title>";
                if (show % 3 == 0)
                    out += "<sub-title lang=\"pt\">Episódio " + QByteArray::number(episode) + "</sub-title>";
                out += "<desc lang=\"pt\">" + QByteArray(Descriptions[show % 8]) + " (" + Titles[show % 20];
                // Three in ten programmes describe their own episode.
                if (next(10) < 3)
                    out += ", episódio " + QByteArray::number(episode) + " do canal " + QByteArray::number(c);
                out += ")</desc><category lang=\"pt\">" + QByteArray(Categories[show % 6]) + "</category>";
                if (show % 2)
                    out += "<episode-num system=\"xmltv_ns\">" + QByteArray::number(show % 5) + '.'
                        + QByteArray::number(episode % 40) + ".</episode-num>";
                out += "<rating system=\"ClassInd\"><value>" + QByteArray(Ratings[show % 4])
                    + "</value></rating></programme>\n";
                t += length;
                if (out.size() > (1 << 20) - 4096) {
                    file.write(out);
                    out.clear();
                }
            }
        }
        out += "</tv>\n";
        file.write(out);
        return file.error() == QFileDevice::NoError ? programmes : 0;
    }

private:
    static QByteArray stamp(qint64 utc)
    {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(utc - 3 * 3600, Qt::UTC);
        char text[32];
        const QDate d = local.date();
        const QTime t = local.time();
        std::snprintf(text, sizeof(text), "%04d%02d%02d%02d%02d00 -0300", d.year(), d.month(), d.day(),
            t.hour(), t.minute());
        return QByteArray(text);
    }

    static constexpr const char *Titles[20] = { "Jornal da Manhã", "Sessão da Tarde", "Novela das Seis",
        "Futebol Ao Vivo", "Desenho Animado", "Documentário", "Programa de Auditório", "Culinária Brasileira",
        "Filme: Aventura", "Série Policial", "Telejornal Regional", "Música Sertaneja", "Esporte Total",
        "Reality Show", "Entrevista", "Igreja Ao Vivo", "Comédia", "Clássicos do Cinema", "Viagem e Turismo",
        "Previsão do Tempo" };
    static constexpr const char *Descriptions[8]
        = { "As principais notícias do Brasil e do mundo, com reportagens e entrevistas.",
              "Uma família enfrenta seus segredos quando um parente chega com uma herança &amp; perguntas.",
              "Os melhores momentos da rodada, os gols e a classificação do campeonato.",
              "Receitas tradicionais de todas as regiões e dicas para pratos simples.",
              "Investigadores tentam resolver um crime misterioso numa cidade pequena.",
              "Um grupo de amigos descobre um mundo mágico atrás da escola do bairro.",
              "Um passeio pelas paisagens e pela cultura do interior do Brasil.",
              "Música ao vivo com artistas convidados e os sucessos de várias gerações." };
    static constexpr const char *Categories[6]
        = { "Jornalismo", "Novela", "Esporte", "Filme, Aventura", "Infantil", "Variedades" };
    static constexpr const char *Ratings[4] = { "[L] Livre para todos os públicos",
        "[10] Não recomendado para menores de 10 anos", "[12] Não recomendado para menores de 12 anos",
        "[14] Não recomendado para menores de 14 anos" };
};

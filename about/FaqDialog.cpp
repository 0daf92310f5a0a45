#include "about/FaqDialog.h"

#include "about/AboutStyle.h"
#include "lists/OwnChannelList.h"

#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>

namespace
{

struct Entry {
    QString question;
    QString answer; // rich text
};

QString playlistStorePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir::toNativeSeparators(folder + QStringLiteral("/Default.lpl"));
}

QList<Entry> entries()
{
    return {
        { QStringLiteral("O que é o sistema Tenacor®?"),
            QStringLiteral(
                "É o sistema de reconexão do Lumivortex. Quando um canal para de responder, o "
                "título da janela termina em <b>\"Canal Congestionado!\"</b> e o Lumivortex pergunta "
                "se deve ativar o sistema Tenacor®. Ativado, ele tenta o canal de novo a cada 1,2 "
                "segundo e, nos canais que têm endereços reserva, passa de um endereço a outro até a "
                "transmissão voltar. Ele pode ser ligado e desligado em <i>Sistema &gt; Opções</i>, "
                "na caixa \"Ativar sistema Tenacor®.\".") },
        { QStringLiteral("Todos os canais mostram \"Canal Congestionado!\". O que eu faço?"),
            QStringLiteral(
                "Quando isso acontece com todos os canais, o problema quase sempre está na sua "
                "conexão, não nos canais. Confira se a internet funciona (abra uma página no "
                "navegador), se um firewall ou proxy não está bloqueando o Lumivortex, e tente de novo "
                "depois de alguns minutos. Se só um canal falha, ative o sistema Tenacor® e aguarde: "
                "ele tenta a reconexão sozinho. Um título que termina em \"sem endereço\" quer dizer que o "
                "canal ainda não tem endereço: adicione uma lista em \"Listas de canais\".") },
        { QStringLiteral("Onde fica a minha playlist?"),
            QStringLiteral(
                "As músicas que você põe na playlist, com o botão \"Abrir\" ou arrastando vários "
                "arquivos para a janela, são gravadas no arquivo<br><tt>%1</tt><br>A lista na tela "
                "começa vazia toda vez que o Lumivortex abre, mas o arquivo guarda as músicas de antes "
                "até você clicar em \"Limpar\", e as novas se juntam a elas. \"Salvar\" grava uma cópia "
                "desse arquivo com o nome que você escolher (arquivos <tt>.lpl</tt>); para ver de novo as "
                "músicas de um arquivo <tt>.lpl</tt>, escolha-o com o botão \"Abrir\".")
                .arg(playlistStorePath().toHtmlEscaped()) },
        { QStringLiteral("Como funciona o Jogo da Vovó?"),
            QStringLiteral(
                "Abra <i>Jogos Online &gt; Jogo da Vovó :P</i> no menu do botão \"V\". Um jogador "
                "escolhe <b>\"Sou Servidor.\"</b> e aguarda; o outro escolhe <b>\"Sou Cliente.\"</b>, "
                "digita o IP do Servidor e clica em \"Conectar\". O jogo conversa diretamente entre "
                "os dois Lumivortex pela <b>porta TCP 23</b> ou, quando o Servidor não tem permissão para "
                "usá-la (no Linux só o administrador usa portas abaixo de 1024), pela <b>porta TCP 2323</b>; "
                "a janela do Servidor mostra em qual ele aguarda, e o Cliente tenta as duas. O firewall e o "
                "roteador do Servidor precisam deixar essa porta aberta.") },
        { QStringLiteral("Quais são as teclas de atalho?"),
            QStringLiteral("<b>Espaço</b> reproduz ou pausa; <b>F11</b> ou <b>Alt+Enter</b> tela cheia; "
                           "<b>Esc</b> sai da tela cheia e da Tela Limpa; <b>M</b> tira ou põe o som; "
                           "<b>↑</b> e <b>↓</b> o volume; <b>←</b> e <b>→</b> voltam e avançam 15 segundos; "
                           "<b>Ctrl+O</b> abre um arquivo; <b>Ctrl+L</b> abre um endereço; <b>Ctrl+P</b> "
                           "a playlist; <b>Ctrl+Q</b> fecha o programa. Com um botão escolhido pela tecla "
                           "<b>Tab</b>, as setas passam aos vizinhos e <b>Enter</b> ou <b>Espaço</b> o "
                           "pressionam. Os atalhos não valem enquanto se digita num campo de texto.") },
    };
}

// Channel lists: where the built-in channels get their addresses.
Entry ownChannelListEntry()
{
    return { QStringLiteral("Posso usar a minha própria lista de canais?"),
        QStringLiteral(
            "Sim. Em \"Listas de canais\" (no menu do botão \"V\" ou na aba Sistema) adicione uma "
            "lista M3U pelo endereço (http ou https) ou escolhendo um arquivo. O arquivo<br><tt>%1</tt><br>"
            "também entra como lista quando existe. Um canal do programa toca a primeira entrada da "
            "lista com o nome dele, o título da janela depois de \"Lumivortex TV - \" (maiúsculas, "
            "acentos e pontuação não contam); quando o canal falha, o sistema Tenacor® passa pelas "
            "outras entradas com o mesmo nome. Por exemplo:<br>"
            "<tt>#EXTM3U<br>#EXTINF:-1,TV Globo<br>http://meuservidor.example/globo<br>"
            "#EXTINF:-1,TV Globo<br>http://reserva.example/globo</tt><br>"
            "Todos os canais de todas as listas aparecem em \"Canais\" (Ctrl+K), e \"Abrir "
            "endereço…\" (Ctrl+L) toca qualquer endereço.")
            .arg(QDir::toNativeSeparators(OwnChannelList::path()).toHtmlEscaped()) };
}

QString entryHtml(const Entry &entry)
{
    return QStringLiteral("<p style=\"margin-top:10px\"><b><font color=\"#0000ff\">%1</font></b><br>%2</p>")
        .arg(entry.question.toHtmlEscaped(), entry.answer);
}

} // namespace

FaqDialog::FaqDialog(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("Lumivortex - F.A.Q."));
    setFixedSize(420, 360);
    // Opened from the modal About window: as a modal window of its own it
    // takes input above it instead of being blocked by it.
    setWindowModality(Qt::ApplicationModal);

    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("RichEdit1"));
    m_text->setGeometry(8, 8, 404, 308);
    m_text->setFont(AboutStyle::font(12));
    m_text->setReadOnly(true);
    m_text->setOpenLinks(false);
    fillText();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(323, 324, 89, 27);
    ok->setFont(AboutStyle::font(12));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
}

void FaqDialog::showEvent(QShowEvent *event)
{
    // The store's folder depends on the application's name, set before the
    // windows exist; refreshed here in case it was set later.
    fillText();
    QDialog::showEvent(event);
}

void FaqDialog::fillText()
{
    QString html
        = QStringLiteral("<p><b><font color=\"#0000ff\" size=\"+1\">Perguntas frequentes</font></b></p>");
    for (const Entry &entry : entries())
        html += entryHtml(entry);
    const Entry own = ownChannelListEntry();
    if (!own.answer.isEmpty())
        html += QStringLiteral("<hr>") + entryHtml(own);
    m_text->setHtml(html);
}

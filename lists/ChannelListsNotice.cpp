#include "lists/ChannelListsNotice.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ChannelListsNotice::ChannelListsNotice(
    const QString &text, const QVector<SuggestedList> &suggested, QWidget *parent)
    : QDialog(parent)
    , m_suggested(suggested)
{
    setObjectName(QStringLiteral("ChannelListsNotice"));
    setWindowTitle(QStringLiteral("Lumivortex TV"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *message = new QLabel(text, this);
    message->setObjectName(QStringLiteral("NoticeText"));
    message->setWordWrap(true);
    message->setMinimumWidth(420);
    layout->addWidget(message);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    if (!m_suggested.isEmpty()) {
        auto *offer = new QLabel(
            QStringLiteral("Deseja adicionar listas públicas? São listas de canais mantidas por projetos "
                           "voluntários, com transmissões que as próprias emissoras publicam abertamente. "
                           "O Lumivortex não hospeda nada, e os canais vêm e vão."),
            this);
        offer->setObjectName(QStringLiteral("SuggestionsText"));
        offer->setWordWrap(true);
        layout->addWidget(offer);
        for (int i = 0; i < m_suggested.size(); ++i) {
            auto *check = new QCheckBox(m_suggested.at(i).name, this);
            check->setObjectName(QStringLiteral("SuggestedListCheck%1").arg(i + 1));
            check->setToolTip(m_suggested.at(i).address);
            check->setChecked(m_suggested.at(i).chosenByDefault);
            layout->addWidget(check);
            m_checks << check;
        }
        auto *accept = new QPushButton(QStringLiteral("Adicionar listas"), this);
        accept->setObjectName(QStringLiteral("AcceptSuggestionsButton"));
        accept->setDefault(true);
        connect(accept, &QPushButton::clicked, this, [this] {
            m_answered = true;
            m_accepted = true;
            emit suggestionsAccepted(chosen());
            close();
        });
        auto *decline = new QPushButton(QStringLiteral("Agora não"), this);
        decline->setObjectName(QStringLiteral("DeclineSuggestionsButton"));
        connect(decline, &QPushButton::clicked, this, &QDialog::close);
        buttons->addWidget(accept);
        buttons->addWidget(decline);
        // Closing the box in any way other than accepting is a no.
        connect(this, &QDialog::finished, this, [this] {
            if (!m_answered) {
                m_answered = true;
                emit suggestionsDeclined();
            }
        });
    }
    auto *open = new QPushButton(QStringLiteral("Listas de canais"), this);
    open->setObjectName(QStringLiteral("OpenChannelListsButton"));
    connect(open, &QPushButton::clicked, this, [this] {
        emit openListsRequested();
        close();
    });
    buttons->addWidget(open);
    if (m_suggested.isEmpty()) {
        auto *ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setObjectName(QStringLiteral("CloseNoticeButton"));
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, [this] {
            m_accepted = true;
            close();
        });
        buttons->addWidget(ok);
    }
    layout->addLayout(buttons);
}

QString ChannelListsNotice::noAddressText(const QString &channel)
{
    return QStringLiteral("O canal %1 ainda não tem endereço. Adicione uma lista de canais em "
                          "\"Listas de canais\" e os canais do programa que estiverem nela passam a tocar.")
        .arg(channel);
}

QString ChannelListsNotice::firstStartText()
{
    return QStringLiteral("Os canais do programa ainda não têm endereço. Adicione uma lista de canais (um "
                          "endereço ou um arquivo M3U) em \"Listas de canais\" para assistir.");
}

void ChannelListsNotice::offerRadioSearch()
{
    if (m_radioSearch)
        return;
    m_radioSearch
        = new QCheckBox(QStringLiteral("Buscar as rádios do programa na base pública de rádios"), this);
    m_radioSearch->setObjectName(QStringLiteral("RadioSearchCheck"));
    m_radioSearch->setChecked(true);
    auto *box = static_cast<QVBoxLayout *>(layout());
    // Above the row of buttons, with the other ticked lines.
    box->insertWidget(box->count() - 1, m_radioSearch);
    connect(this, &QDialog::finished, this, [this] {
        if (m_radioSearch)
            emit radioSearchAnswered(m_accepted && m_radioSearch->isChecked());
        m_radioSearch = nullptr;
    });
}

QVector<SuggestedList> ChannelListsNotice::chosen() const
{
    QVector<SuggestedList> picked;
    for (int i = 0; i < m_checks.size(); ++i)
        if (m_checks.at(i)->isChecked())
            picked << m_suggested.at(i);
    return picked;
}

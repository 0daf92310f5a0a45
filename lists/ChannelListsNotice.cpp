#include "lists/ChannelListsNotice.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ChannelListsNotice::ChannelListsNotice(const QString &text, const QVector<SuggestedList> &suggested,
    QWidget *parent, const QVector<SuggestedList> &suggestedGuides)
    : QDialog(parent)
    , m_suggested(suggested)
    , m_suggestedGuides(suggested.isEmpty() ? QVector<SuggestedList>() : suggestedGuides)
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
        // Guides are never ticked: they only help once some list plays.
        auto addChecks = [this, layout](const QVector<SuggestedList> &offered, const char *name, bool ticked,
                             QVector<QCheckBox *> &checks) {
            for (int i = 0; i < offered.size(); ++i) {
                auto *check = new QCheckBox(offered.at(i).name, this);
                check->setObjectName(QString::fromLatin1(name).arg(i + 1));
                check->setToolTip(offered.at(i).address);
                check->setChecked(ticked && offered.at(i).chosenByDefault);
                layout->addWidget(check);
                checks << check;
            }
        };
        addChecks(m_suggested, "SuggestedListCheck%1", true, m_checks);
        if (!m_suggestedGuides.isEmpty()) {
            auto *guides = new QLabel(QStringLiteral("Guias de programação públicos (o que passa agora e a "
                                                     "seguir em cada canal):"),
                this);
            guides->setObjectName(QStringLiteral("SuggestedGuidesText"));
            guides->setWordWrap(true);
            layout->addWidget(guides);
        }
        addChecks(m_suggestedGuides, "SuggestedGuideCheck%1", false, m_guideChecks);
        auto *accept = new QPushButton(QStringLiteral("Adicionar listas"), this);
        accept->setObjectName(QStringLiteral("AcceptSuggestionsButton"));
        accept->setDefault(true);
        connect(accept, &QPushButton::clicked, this, [this] {
            m_answered = true;
            m_accepted = true;
            if (const QVector<SuggestedList> guides = chosenGuides(); !guides.isEmpty())
                emit guidesAccepted(guides);
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

void ChannelListsNotice::fitTexts()
{
    const int wanted = layout()->heightForWidth(width());
    if (wanted > height())
        resize(width(), wanted);
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
    // Offered after the box is up: it grows for the line instead of squeezing
    // the texts, and the line must be shown to be counted.
    m_radioSearch->show();
    if (isVisible())
        fitTexts();
    connect(this, &QDialog::finished, this, [this] {
        if (m_radioSearch)
            emit radioSearchAnswered(m_accepted && m_radioSearch->isChecked());
        m_radioSearch = nullptr;
    });
}

namespace
{
QVector<SuggestedList> ticked(const QVector<SuggestedList> &offered, const QVector<QCheckBox *> &checks)
{
    QVector<SuggestedList> picked;
    for (int i = 0; i < checks.size(); ++i)
        if (checks.at(i)->isChecked())
            picked << offered.at(i);
    return picked;
}
} // namespace

QVector<SuggestedList> ChannelListsNotice::chosen() const
{
    return ticked(m_suggested, m_checks);
}

QVector<SuggestedList> ChannelListsNotice::chosenGuides() const
{
    return ticked(m_suggestedGuides, m_guideChecks);
}

#include "guide/GuideChannelDialog.h"

#include "base/PlainText.h"
#include "guide/GuideMatcher.h"
#include "guide/GuideRegistry.h"
#include "guide/GuideStore.h"
#include "lists/ChannelNameRules.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
enum Kind { Automatic = 1, None, OneChannel };
constexpr int KindRole = Qt::UserRole + 1;
constexpr int GuideRole = Qt::UserRole + 2;
constexpr int ChannelRole = Qt::UserRole + 3;
} // namespace

GuideChannelDialog::GuideChannelDialog(const QString &channelName, const GuideMatcher &matcher,
    const GuideRegistry &registry, const Answer &current, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("GuideChannelDialog"));
    setWindowTitle(QStringLiteral("Escolher guia"));
    resize(520, 560);

    auto *intro = new QLabel(this);
    intro->setObjectName(QStringLiteral("GuideChannelIntro"));
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);
    intro->setText(QStringLiteral("Programação de \"%1\" vinda de:").arg(PlainText::line(channelName)));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("GuideChannelSearchEdit"));
    m_search->setAccessibleName(QStringLiteral("Buscar canal do guia"));
    m_search->setPlaceholderText(QStringLiteral("Buscar canal do guia"));
    m_search->setClearButtonEnabled(true);
    m_channels = new QListWidget(this);
    m_channels->setObjectName(QStringLiteral("GuideChannelList"));
    m_channels->setAccessibleName(QStringLiteral("Canais dos guias"));
    m_channels->setUniformItemSizes(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("GuideChannelButtons"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_search);
    layout->addWidget(m_channels, 1);
    layout->addWidget(buttons);

    auto add
        = [this](const QString &text, Kind kind, const QString &guide = {}, const QString &channel = {}) {
              auto *item = new QListWidgetItem(text, m_channels); // a list item is plain text
              item->setData(KindRole, int(kind));
              item->setData(GuideRole, guide);
              item->setData(ChannelRole, channel);
              m_keys.append(ChannelNameRules::folded(text));
              return item;
          };
    add(QStringLiteral("Automático (pelo id ou pelo nome do canal)"), Automatic);
    add(QStringLiteral("Nenhum"), None);
    for (const GuideSource &guide : matcher.guides()) {
        if (!guide.store)
            continue;
        const QString guideName = PlainText::line(registry.guide(guide.id).name, 60);
        for (int i = 0; i < guide.store->channelCount(); ++i) {
            const QString id = guide.store->channelId(i);
            const QString name = guide.store->displayNames(i).value(0, id);
            const QString text = name == id
                ? QStringLiteral("%1 — %2").arg(PlainText::line(name, 80), guideName)
                : QStringLiteral("%1 (%2) — %3")
                      .arg(PlainText::line(name, 80), PlainText::line(id, 60), guideName);
            add(text, OneChannel, guide.id, id);
        }
    }
    if (!current)
        m_channels->setCurrentRow(0);
    else if (current->isNone())
        m_channels->setCurrentRow(1);
    else if (!select(current->guideId, current->channelId))
        m_channels->setCurrentRow(0);

    connect(m_search, &QLineEdit::textChanged, this, &GuideChannelDialog::filter);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_channels, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    m_search->setFocus();
}

bool GuideChannelDialog::select(const QString &guideId, const QString &channelId)
{
    for (int row = 0; row < m_channels->count(); ++row) {
        const QListWidgetItem *item = m_channels->item(row);
        if (item->data(GuideRole).toString() == guideId && item->data(ChannelRole).toString() == channelId) {
            m_channels->setCurrentRow(row);
            return true;
        }
    }
    return false;
}

void GuideChannelDialog::setSearchText(const QString &text)
{
    m_search->setText(text);
}

void GuideChannelDialog::filter(const QString &text)
{
    const QStringList words = ChannelNameRules::folded(text).split(u' ', Qt::SkipEmptyParts);
    QListWidgetItem *first = nullptr;
    for (int row = 0; row < m_channels->count(); ++row) {
        QListWidgetItem *item = m_channels->item(row);
        // The two answers that are not channels stay in reach.
        bool shown = item->data(KindRole).toInt() != OneChannel;
        if (!shown) {
            shown = true;
            for (const QString &word : words)
                shown = shown && m_keys.at(row).contains(word);
        }
        item->setHidden(!shown);
        if (shown && !first && item->data(KindRole).toInt() == OneChannel)
            first = item;
    }
    const QListWidgetItem *current = m_channels->currentItem();
    if (first && (!current || current->isHidden() || !words.isEmpty()))
        m_channels->setCurrentItem(first);
}

int GuideChannelDialog::shownCount() const
{
    int shown = 0;
    for (int row = 0; row < m_channels->count(); ++row)
        shown += !m_channels->item(row)->isHidden()
            && m_channels->item(row)->data(KindRole).toInt() == OneChannel;
    return shown;
}

GuideChannelDialog::Answer GuideChannelDialog::answer() const
{
    const QListWidgetItem *item = m_channels->currentItem();
    if (!item || item->data(KindRole).toInt() == Automatic)
        return std::nullopt;
    if (item->data(KindRole).toInt() == None)
        return GuideChoices::Choice {};
    return GuideChoices::Choice { item->data(GuideRole).toString(), item->data(ChannelRole).toString() };
}

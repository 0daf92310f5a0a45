#include "channels/AlternateAddressLists.h"

#include "channels/ChannelCatalogue.h"
#include "player/AlternateAddresses.h"

#include <QLabel>
#include <QListWidget>

AlternateAddressLists::AlternateAddressLists(
    AlternateAddresses &alternates, const ChannelCatalogue &catalogue, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_alternates(alternates)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Listas alternativas"));
    addList(QStringLiteral("ListBox1"), QString());
    for (const AlternateList &list : catalogue.alternateLists())
        m_byTitle.insert(ChannelCatalogue::windowTitlePrefix() + list.titleSuffix,
            addList(list.listBox, list.titleSuffix));
    for (const QString &channel : m_alternates.channels())
        showList(channel);
    connect(&m_alternates, &AlternateAddresses::changed, this,
        [this](const QString &channel) { showList(channel); });
    resize(m_nextLeft, 220);
}

QListWidget *AlternateAddressLists::addList(const QString &name, const QString &caption)
{
    auto *label = new QLabel(caption, this);
    label->setTextFormat(Qt::PlainText); // a list channel's name
    label->move(m_nextLeft, 0);
    auto *list = new QListWidget(this);
    list->setObjectName(name);
    list->setGeometry(m_nextLeft, 16, 120, 200);
    m_nextLeft += 124;
    return list;
}

void AlternateAddressLists::showList(const QString &channelTitle)
{
    QListWidget *list = m_byTitle.value(channelTitle);
    if (!list) {
        list = addList(QString(), channelTitle.mid(ChannelCatalogue::windowTitlePrefix().size()));
        m_byTitle.insert(channelTitle, list);
    }
    const QStringList entries = m_alternates.entries(channelTitle);
    QStringList shown;
    for (int row = 0; row < list->count(); ++row)
        shown << list->item(row)->text();
    if (shown != entries) {
        list->clear();
        list->addItems(entries);
    }
    list->setCurrentRow(m_alternates.position(channelTitle));
}

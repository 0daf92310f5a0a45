#include "channels/AlternateAddressLists.h"

#include "channels/ChannelCatalogue.h"

#include <QLabel>
#include <QListWidget>

AlternateAddressLists::AlternateAddressLists(const ChannelCatalogue &catalogue, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Listas alternativas"));
    addList(QStringLiteral("ListBox1"), QString());
    for (const AlternateList &alternates : catalogue.alternateLists()) {
        QListWidget *list = addList(alternates.listBox, alternates.titleSuffix);
        list->addItems(alternates.entries);
        list->setCurrentRow(-1);
        m_byTitle.insert(ChannelCatalogue::windowTitlePrefix() + alternates.titleSuffix, list);
    }
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

void AlternateAddressLists::setEntries(const QString &windowTitle, const QStringList &entries)
{
    QListWidget *list = m_byTitle.value(windowTitle);
    QStringList held;
    for (int row = 0; list && row < list->count(); ++row)
        held << list->item(row)->text();
    if (held == entries || (!list && entries.size() < 2))
        return;
    if (!list) {
        list = addList(QString(), windowTitle.mid(ChannelCatalogue::windowTitlePrefix().size()));
        m_byTitle.insert(windowTitle, list);
    }
    list->clear();
    list->addItems(entries);
    list->setCurrentRow(-1);
}

QListWidget *AlternateAddressLists::listForTitle(const QString &windowTitle) const
{
    return m_byTitle.value(windowTitle);
}

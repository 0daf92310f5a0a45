#include "channels/AlternateAddressLists.h"

#include "channels/ChannelCatalogue.h"

#include <QLabel>
#include <QListWidget>

AlternateAddressLists::AlternateAddressLists(const ChannelCatalogue &catalogue, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Listas alternativas"));
    int left = 0;
    auto addList = [this, &left](const QString &name, const QString &caption) {
        auto *label = new QLabel(caption, this);
        label->move(left, 0);
        auto *list = new QListWidget(this);
        list->setObjectName(name);
        list->setGeometry(left, 16, 120, 200);
        left += 124;
        return list;
    };
    addList(QStringLiteral("ListBox1"), QString());
    for (const AlternateList &alternates : catalogue.alternateLists()) {
        QListWidget *list = addList(alternates.listBox, alternates.titleSuffix);
        list->addItems(alternates.entries);
        list->setCurrentRow(-1);
        m_byTitle.insert(ChannelCatalogue::windowTitlePrefix() + alternates.titleSuffix, list);
    }
    resize(left, 220);
}

QListWidget *AlternateAddressLists::listForTitle(const QString &windowTitle) const
{
    return m_byTitle.value(windowTitle);
}

#include "lists/SuggestedLists.h"

#include "lists/ListAddress.h"

#include <QFile>

QVector<SuggestedList> SuggestedLists::parse(QByteArrayView text)
{
    QVector<SuggestedList> lists;
    const QString decoded = QString::fromUtf8(text);
    for (QStringView line : QStringView(decoded).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'\xFEFF'))
            line = line.sliced(1).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        SuggestedList list;
        list.name = fields.value(0).trimmed().toString();
        list.address = fields.value(1).trimmed().toString();
        const QStringView chosen = fields.value(2).trimmed();
        list.chosenByDefault = chosen.compare(u"sim", Qt::CaseInsensitive) == 0
            || chosen.compare(u"yes", Qt::CaseInsensitive) == 0 || chosen == u"1";
        if (list.name.isEmpty() || !ListAddress::isRemote(list.address))
            continue;
        lists.append(list);
        if (lists.size() >= MaxLists)
            break;
    }
    return lists;
}

QString SuggestedLists::builtInPath()
{
    return QStringLiteral(":/lists/suggested-lists.tsv");
}

QVector<SuggestedList> SuggestedLists::builtIn()
{
    QFile file(builtInPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

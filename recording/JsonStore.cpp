#include "recording/JsonStore.h"

#include "base/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

QJsonArray JsonStore::read(const QString &path, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(key).toArray();
}

bool JsonStore::write(const QString &path, const QString &key, const QJsonArray &items)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    QJsonObject root;
    root.insert(key, items);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0 || !file.commit()) {
        qCWarning(lumiRecording) << "cannot write" << path;
        return false;
    }
    return true;
}

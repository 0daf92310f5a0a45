#include "update/UpdateSettings.h"

#include "base/BoundedRead.h"
#include "base/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace
{

// Far beyond any settings file, small enough never to matter.
constexpr qint64 kMaxReadBytes = 1024 * 1024;

QString unquote(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

QString updateSettingsFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("check.ini"));
}

std::optional<QString> iniValue(const QByteArray &content, const QString &section, const QString &key)
{
    QByteArray data = content;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    bool inSection = false;
    for (QByteArrayView rawLine : data.split('\n')) {
        // A mark at the start of a line (files joined by hand) is no part of a name.
        if (rawLine.startsWith("\xEF\xBB\xBF"))
            rawLine = rawLine.sliced(3);
        const QString line = TextDecoding::utf8OrWindows1252(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        if (line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return unquote(line.mid(equals + 1).trimmed());
    }
    return std::nullopt;
}

UpdateSettings parseUpdateSettings(const QByteArray &content)
{
    const QString section = QStringLiteral("Lumivortex");
    UpdateSettings settings;
    settings.version = iniValue(content, section, QStringLiteral("Versão"));
    settings.notes = iniValue(content, section, QStringLiteral("Correções"));
    settings.downloadLink = iniValue(content, section, QStringLiteral("LinkDownloadAtualizacao"));
    settings.downloadName = iniValue(content, section, QStringLiteral("NomeDownloadAtualizacao"));
    return settings;
}

UpdateSettings readUpdateSettings(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseUpdateSettings(readBounded(file, kMaxReadBytes - 1));
}

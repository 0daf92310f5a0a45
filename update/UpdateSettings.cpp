#include "update/UpdateSettings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace
{

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; unassigned bytes map
// to themselves, as Windows does.
constexpr char16_t kCp1252High[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

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

QString decodeIniText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        text += (u >= 0x80 && u <= 0x9F) ? QChar(kCp1252High[u - 0x80]) : QChar(char16_t(u));
    }
    return text;
}

std::optional<QString> iniValue(const QByteArray &content, const QString &section, const QString &key)
{
    QByteArray data = content;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    bool inSection = false;
    for (const QByteArray &rawLine : data.split('\n')) {
        const QString line = decodeIniText(rawLine).trimmed();
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
    return parseUpdateSettings(file.read(kMaxReadBytes));
}

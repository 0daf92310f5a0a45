#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The update settings file: where it is fetched from, where it is kept, and
// how its one section is read.

// Address of the settings file on the update server, set when the program is
// configured (UPDATE_SETTINGS_URL); empty when there is no update server.
inline constexpr char kUpdateSettingsUrl[] = LUMI_UPDATE_SETTINGS_URL;
// A settings file is a few lines; anything bigger is not one.
inline constexpr qint64 kUpdateSettingsMaxBytes = 64 * 1024;
// No release is near this; a server that sends more (announced or not) is refused.
inline constexpr qint64 kUpdateDownloadMaxBytes = qint64(256) << 20;

// "check.ini" in the per-user cache folder; the folder is created if missing.
QString updateSettingsFilePath();

// The value of `key` in `[section]`, read the way Windows profile files are,
// each line UTF-8 or else Windows-1252 (the file has long been written with it):
// section and key names compared without regard to case, the first match
// wins, blanks around names and values and one pair of enclosing quotes dropped.
std::optional<QString> iniValue(const QByteArray &content, const QString &section, const QString &key);

struct UpdateSettings {
    std::optional<QString> version; // "Versão"
    std::optional<QString> notes; // "Correções"
    std::optional<QString> downloadLink; // "LinkDownloadAtualizacao"
    std::optional<QString> downloadName; // "NomeDownloadAtualizacao"
};

UpdateSettings parseUpdateSettings(const QByteArray &content);
// A missing or unreadable file gives no values.
UpdateSettings readUpdateSettings(const QString &path);

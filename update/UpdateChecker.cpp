#include "update/UpdateChecker.h"

#include "base/SafeCall.h"
#include "update/HttpDownload.h"
#include "update/UpdateSettings.h"
#include "update/UpdateWindow.h"
#include "widgets/MessageBox.h"

#include <QFile>
#include <QTimer>
#include <QWidget>
#include <algorithm>

UpdateChecker::UpdateChecker(
    const QString &programVersion, const QString &serverUrl, UpdateWindow *updateWindow, QObject *parent)
    : QObject(parent)
    , m_programVersion(programVersion)
    , m_serverUrl(serverUrl)
    , m_updateWindow(updateWindow)
    , m_settingsPath(updateSettingsFilePath())
{
    setObjectName(QStringLiteral("UpdateChecker"));
    m_settingsFetch = new HttpDownload(this);
    m_settingsFetch->setObjectName(QStringLiteral("HTTPGet_CheckINI"));
    m_settingsFetch->setMaxBytes(kUpdateSettingsMaxBytes);
    m_settingsFetch->OnDoneFile
        = [this](QObject *, const QString &, qint64) { safeCall([this] { settingsFetched(); }); };
    m_settingsFetch->OnError = [this](QObject *) { safeCall([this] { settingsFetchFailed(); }); };

    m_checkTimer = new QTimer(this);
    m_checkTimer->setObjectName(QStringLiteral("TimerUpdateCheck"));
    m_checkTimer->setInterval(FirstIntervalMs);
    connect(m_checkTimer, &QTimer::timeout, this, [this] { safeCall([this] { fetchSettings(); }); });
    if (!m_serverUrl.isEmpty())
        m_checkTimer->start();
}

UpdateChecker::~UpdateChecker() = default;

QString UpdateChecker::questionText(
    const QString &programVersion, const QString &newVersion, const QString &updateNotes)
{
    return QStringLiteral("Uma nova versão do Lumivortex já está disponivel, deseja atualizar?")
        + QStringLiteral("\n\n") + QStringLiteral("Sua Versão é: ") + programVersion + QStringLiteral("\n")
        + QStringLiteral("A nova versão é: ") + newVersion + QStringLiteral("\n\n")
        + QStringLiteral("Atualizações da nova versão: ") + QStringLiteral("\n\n") + updateNotes;
}

void UpdateChecker::fetchSettings()
{
    // Unlike on Windows, deleting the file under a running fetch succeeds and
    // would lose that fetch's answer; the start would be dropped anyway.
    if (m_settingsFetch->isRunning() || m_serverUrl.isEmpty())
        return;
    QFile::remove(m_settingsPath);
    m_settingsFetch->setURL(m_serverUrl);
    m_settingsFetch->setFileName(m_settingsPath);
    m_settingsFetch->StartDownload();
}

void UpdateChecker::settingsFetched()
{
    // The answer for this run is in; asking again would only load the server.
    m_checkTimer->stop();
    const UpdateSettings settings = readUpdateSettings(m_settingsPath);
    m_newVersion = settings.version.value_or(m_newVersion);
    m_updateNotes = settings.notes.value_or(m_updateNotes);
    // No version has ever been read (an empty answer, a file without the key):
    // there is nothing to offer, so nothing is asked.
    if (m_newVersion.isEmpty() || m_newVersion == m_programVersion || m_updatePrompted)
        return;
    m_updatePrompted = true;
    if (ask(questionText(m_programVersion, m_newVersion, m_updateNotes))) {
        if (m_updateWindow) {
            m_updateWindow->show();
            m_updateWindow->raise();
            m_updateWindow->activateWindow();
        }
    } else {
        QFile::remove(m_settingsPath);
    }
}

void UpdateChecker::settingsFetchFailed()
{
    // Unnoticed by the user; a server that cannot be reached is asked less and less often.
    m_checkTimer->setInterval(std::min(m_checkTimer->interval() * 2, LongestIntervalMs));
}

bool UpdateChecker::ask(const QString &question)
{
    MessageRequest request;
    request.caption = QStringLiteral("Information");
    request.text = question;
    request.icon = QMessageBox::Information;
    request.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    request.defaultButton = QMessageBox::Ok;
    request.escapeButton = QMessageBox::Cancel;
    return showMessage(qobject_cast<QWidget *>(parent()), request) == QMessageBox::Ok;
}

#pragma once

#include <QObject>
#include <QString>

class QTimer;
class UpdateWindow;
class HttpDownload;

// The main window's update check: it fetches the update settings file every
// 3 s until a fetch succeeds, and when the version named there differs from the
// program's own it asks, once per run, whether to update; "OK" shows the update
// window. One success ends the checking for the run; while the server cannot
// be reached the fetches come ever further apart. An empty server address
// checks nothing.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    // The question is the information box "Information" with OK and Cancel.
    UpdateChecker(const QString &programVersion, const QString &serverUrl, UpdateWindow *updateWindow,
        QObject *parent = nullptr);
    ~UpdateChecker() override;

    QTimer *checkTimer() const { return m_checkTimer; }
    // Whether the question was asked this run (it is asked once), and what the
    // settings file last said.
    bool updatePrompted() const { return m_updatePrompted; }
    QString newVersion() const { return m_newVersion; }
    QString updateNotes() const { return m_updateNotes; }
    HttpDownload *settingsFetch() const { return m_settingsFetch; }

    // The question as shown, lines joined by line breaks.
    static QString questionText(
        const QString &programVersion, const QString &newVersion, const QString &updateNotes);

    QString settingsFilePath() const { return m_settingsPath; }
    void setSettingsFilePath(const QString &path) { m_settingsPath = path; }

    static constexpr int FirstIntervalMs = 3000;
    static constexpr int LongestIntervalMs = 30 * 60 * 1000;

    // The timer's tick: starts a fetch of the settings file unless one runs.
    void fetchSettings();
    void settingsFetched();
    void settingsFetchFailed();

private:
    bool ask(const QString &question);

    QString m_programVersion;
    bool m_updatePrompted = false;
    QString m_newVersion;
    QString m_updateNotes;
    QString m_serverUrl;
    UpdateWindow *m_updateWindow;
    QString m_settingsPath;
    QTimer *m_checkTimer = nullptr;
    HttpDownload *m_settingsFetch = nullptr;
};

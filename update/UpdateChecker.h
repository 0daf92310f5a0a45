#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QTimer;
class UpdateWindow;
class HttpDownload;
struct ProgramState;

// The main window's update check: every 3 s it fetches the update settings
// file, and when the version named there differs from the program's own it
// asks, once per run, whether to update; "OK" shows the update window.
// The main window owns it as a child, so its timer and download component
// are found by name from there.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    // Shows the question and returns true for "OK".
    using AskFunction = std::function<bool(const QString &question)>;

    // An empty `ask` shows the information box "Information" with OK and Cancel.
    UpdateChecker(ProgramState &state, const QString &serverUrl, AskFunction ask, UpdateWindow *updateWindow,
        QObject *parent = nullptr);
    ~UpdateChecker() override;

    QTimer *TimerUpdateCheck = nullptr;
    HttpDownload *HTTPGet_CheckINI = nullptr;

    // The question as shown, lines joined by line breaks.
    static QString questionText(
        const QString &programVersion, const QString &newVersion, const QString &updateNotes);

    QString settingsFilePath() const { return m_settingsPath; }
    void setSettingsFilePath(const QString &path) { m_settingsPath = path; }

public slots:
    void TimerUpdateCheckTimer();
    void HTTPGet_CheckINIDoneFile(QObject *Sender, const QString &FileName, qint64 FileSize);

private:
    bool ask(const QString &question);

    ProgramState &m_state;
    QString m_serverUrl;
    AskFunction m_ask;
    UpdateWindow *m_updateWindow;
    QString m_settingsPath;
};

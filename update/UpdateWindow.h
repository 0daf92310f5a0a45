#pragma once

#include <QWidget>

class QFileDialog;
class QLabel;
class QProgressBar;
class QTimer;
class HttpDownload;

// The update download window "Lumivortex Update": downloads the file that the
// update settings file points to, with progress, size and speed displays.
class UpdateWindow : public QWidget
{
    Q_OBJECT

public:
    explicit UpdateWindow(QWidget *parent = nullptr);
    ~UpdateWindow() override;

    // The save dialog's file name: the last one proposed or chosen.
    QString saveDialogFileName() const { return m_saveFileName; }

    // The settings file the Download button reads and a finished download deletes.
    QString settingsFilePath() const { return m_settingsPath; }
    void setSettingsFilePath(const QString &path) { m_settingsPath = path; }

    HttpDownload *download() const { return m_download; }
    // Kilobytes received as of the last progress event, and as of the last speed tick.
    double receivedKB() const { return m_receivedKB; }
    double previousKB() const { return m_previousKB; }

    // "Download": asks where to save and starts the transfer.
    void startDownload();
    // "Cancelar": stops a running transfer and closes the window shortly after.
    void cancel();
    void showSpeed();
    void closeAfterCancel();
    void showProgress(qint64 totalSize, qint64 received);
    void downloadFinished();
    void downloadFailed();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QString execSaveDialog(const QString &proposed);
    bool replaceWithDownload();
    void showWarning(const QString &text);

    QProgressBar *m_progressBar = nullptr;
    QLabel *m_sizeText = nullptr;
    QLabel *m_speedText = nullptr;
    HttpDownload *m_download = nullptr;
    QTimer *m_speedTimer = nullptr;
    QTimer *m_closeTimer = nullptr;
    QFileDialog *m_saveDialog = nullptr;
    double m_receivedKB = 0;
    double m_previousKB = 0;

    QString m_settingsPath;
    QString m_saveFileName;
    // The transfer started last writes m_transferFile, beside m_transferTarget
    // under a temporary name; the target is replaced only by a whole download.
    QString m_transferFile;
    QString m_transferTarget;
    bool m_userCancelled = false; // the running transfer was stopped by "Cancelar"
};

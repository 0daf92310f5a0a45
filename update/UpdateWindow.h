#pragma once

#include <QWidget>
#include <functional>

class QFileDialog;
class QLabel;
class QProgressBar;
class QPushButton;
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

    QProgressBar *Gauge1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    HttpDownload *HTTPGet1 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QFileDialog *SaveDialog1 = nullptr;

    // Kilobytes received as of the last progress event, and as of the last speed tick.
    double ReceivedKB = 0;
    double PreviousKB = 0;

    // Runs the save dialog with the proposed name; returns the chosen path, or
    // an empty text when the user cancels. Tests replace it.
    std::function<QString(const QString &proposed)> runSaveDialog;
    // The save dialog's file name: the last one proposed or chosen.
    QString saveDialogFileName() const { return m_saveFileName; }

    // The settings file the Download button reads and a finished download deletes.
    QString settingsFilePath() const { return m_settingsPath; }
    void setSettingsFilePath(const QString &path) { m_settingsPath = path; }

public slots:
    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    void Timer2Timer();
    void HTTPGet1Progress(QObject *Sender, qint64 TotalSize, qint64 Readed);
    void HTTPGet1DoneFile(QObject *Sender, const QString &FileName, qint64 FileSize);
    void HTTPGet1Error(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QString execSaveDialog(const QString &proposed);

    QString m_settingsPath;
    QString m_saveFileName;
    QString m_transferFile; // file of the transfer started last
    bool m_userCancelled = false; // the running transfer was stopped by "Cancelar"
};

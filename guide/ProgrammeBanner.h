#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class TunedProgramme;

// The banner over the video: the channel's name, the programme on now with
// its times and how far it has run, and the next one. It lies at the top of
// the video and gives way to the pop-up panels: it is narrowed or moved below
// them, and stays hidden where it would still cover one.
class ProgrammeBanner : public QWidget
{
    Q_OBJECT

public:
    explicit ProgrammeBanner(const TunedProgramme &tuned, QWidget *parent = nullptr);

    // Follows video's place; never covers any of panels while they show.
    // All share the banner's parent.
    void follow(QWidget *video, const QList<QWidget *> &panels);
    // Whether it should show; it shows when it also fits.
    void setWanted(bool wanted);
    bool isWanted() const { return m_wanted; }

    QString channelText() const;
    QString nowText() const;
    QString nextText() const;
    int progressPercent() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showProgramme();
    void place();

    const TunedProgramme &m_tuned;
    QPointer<QWidget> m_video;
    QList<QPointer<QWidget>> m_panels;
    QLabel *m_channel = nullptr;
    QLabel *m_now = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_next = nullptr;
    bool m_wanted = false;
};

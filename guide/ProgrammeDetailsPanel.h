#pragma once

#include <QPersistentModelIndex>
#include <QWidget>

class QLabel;
class QPushButton;
class QModelIndex;

// A programme shown in full under the grid: title, channel and times, episode
// and sub-title, rating, categories and the description. Every text is
// shown as plain text: it came from the guide.
class ProgrammeDetailsPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ProgrammeDetailsPanel(QWidget *parent = nullptr);

    // A programme or a channel index of a GuideGridModel; an invalid index clears.
    void show(const QModelIndex &index);
    QString titleText() const;
    QString descriptionText() const;

signals:
    // "Gravar este programa": the programme shown (an index of the model given to show()).
    void recordRequested(const QModelIndex &programme);

private:
    QLabel *label(const char *objectName, const char *accessibleName);

    QLabel *m_title = nullptr;
    QLabel *m_when = nullptr;
    QLabel *m_episode = nullptr;
    QLabel *m_rating = nullptr;
    QLabel *m_categories = nullptr;
    QLabel *m_description = nullptr;
    QPushButton *m_record = nullptr;
    QPersistentModelIndex m_shown;
};

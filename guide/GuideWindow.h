#pragma once

#include "lists/ListChannel.h"

#include <QWidget>

class GuideGridCursor;
class GuideGridModel;
class GuideGridView;
class ProgrammeDetailsPanel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

// "Guia de programação": the grid of every channel's programmes, a group
// filter and a channel search, "Agora", and the details of the programme
// chosen. Enter or a double-click on a channel or on a programme on now asks
// for the channel to be tuned. It shows the model it is given and knows
// nothing of the rest of the program.
class GuideWindow : public QWidget
{
    Q_OBJECT

public:
    explicit GuideWindow(GuideGridModel *model, QWidget *parent = nullptr);

    GuideGridCursor *cursor() const { return m_cursor; }
    GuideGridView *grid() const { return m_grid; }
    ProgrammeDetailsPanel *details() const { return m_details; }

signals:
    void tuneRequested(const ListChannel &channel);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void activate(const QModelIndex &index);
    void showGroups();
    void tick();

    GuideGridModel *m_model;
    GuideGridCursor *m_cursor = nullptr;
    GuideGridView *m_grid = nullptr;
    ProgrammeDetailsPanel *m_details = nullptr;
    QPushButton *m_now = nullptr;
    QPushButton *m_earlier = nullptr;
    QPushButton *m_later = nullptr;
    QComboBox *m_groups = nullptr;
    QLineEdit *m_search = nullptr;
    QTimer *m_clock = nullptr;
};

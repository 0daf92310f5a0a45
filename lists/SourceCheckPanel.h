#pragma once

#include "lists/SourceChecker.h"

#include <QGroupBox>

class QLabel;
class QProgressBar;
class QPushButton;

// "Verificar canais" in "Listas de canais": starts a check of the selected
// list or of all, shows its progress with the count and "Cancelar", and what
// the last check found. It asks for checks by signals; the checker's state is
// what it shows.
class SourceCheckPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit SourceCheckPanel(SourceChecker &checker, QWidget *parent = nullptr);

    // Said beside the buttons: automatic checks wait on a metered connection.
    void setMetered(bool metered);

signals:
    void checkSelectedRequested();
    void checkAllRequested();

private:
    void showProgress(int done, int total);
    void showFinished(bool cancelled);
    void count(SourceHealth health);

    SourceChecker &m_checker;
    QPushButton *m_checkSelected = nullptr;
    QPushButton *m_checkAll = nullptr;
    QPushButton *m_cancel = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_metered = nullptr;
    int m_counts[5] = {};
};

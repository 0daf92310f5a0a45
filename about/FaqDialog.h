#pragma once

#include <QDialog>

class QTextBrowser;

// The F.A.Q. window: questions and answers about the player, read only.
class FaqDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FaqDialog(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillText();

    QTextBrowser *m_text = nullptr;
};

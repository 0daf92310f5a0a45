#pragma once

#include "lists/ListChannel.h"
#include "lists/SourceRanking.h"

#include <QDialog>
#include <QHash>
#include <QVector>

class QListWidget;
class QPushButton;

// "Fontes…": a channel's sources in the order they are tried, each with its
// list name, server and what the last check found (dead ones greyed). The
// user plays one, or moves one to the top so it is tried first from now on.
class SourcesDialog : public QDialog
{
    Q_OBJECT

public:
    SourcesDialog(const QString &channelTitle, QWidget *parent = nullptr);

    void setSources(const QVector<ListChannel> &ranked, const QHash<QString, SourceHealth> &health);
    QVector<ListChannel> sources() const { return m_sources; }
    int selectedRow() const;
    void selectRow(int row);

    void playSelected();
    void moveSelectedToTop();

    // "no ar", "fora do ar", "bloqueada", "pede login", "não verificada".
    static QString healthText(SourceHealth health);

signals:
    void playRequested(const ListChannel &source);
    void moveToTopRequested(const ListChannel &source);

private:
    void showButtons();

    QVector<ListChannel> m_sources;
    QListWidget *m_list = nullptr;
    QPushButton *m_play = nullptr;
    QPushButton *m_toTop = nullptr;
};

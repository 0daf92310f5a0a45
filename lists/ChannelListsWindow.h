#pragma once

#include "lists/SuggestedLists.h"

#include <QStringList>
#include <QVector>
#include <QWidget>

class ChannelListLibrary;
class ChannelListRegistry;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QGroupBox;
class QVBoxLayout;

// "Listas de canais": the user's channel lists with their state, adding one
// by address or file, renaming, refreshing and removing, the suggested public
// lists still to add, and how many built-in channels found an address.
class ChannelListsWindow : public QWidget
{
    Q_OBJECT

public:
    ChannelListsWindow(ChannelListRegistry &registry, ChannelListLibrary &library,
        const QVector<SuggestedList> &suggested, QWidget *parent = nullptr);

    // A part of its own below the lists, such as the programme guides (the window owns it).
    void addPart(QWidget *part, int stretch = 2);
    // The list selected in the table; empty when none is.
    QString selectedListId() const { return selectedId(); }

    // "N dos 101 canais do programa têm endereço", and the names of those channels.
    void setCoverage(const QString &text, const QStringList &channelNames);

    void addByAddress();
    void addFile();
    void renameSelected();
    void refreshSelected();
    void removeSelected();
    void addCheckedSuggestions();
    // The selected list's streams skip (or keep) the certificate check.
    void setAcceptInvalidCertificates(bool accept);

private:
    void showLists();
    void showCertificateChoice();
    void showSuggestions();
    QString selectedId() const;
    void report(const QString &error);

    ChannelListRegistry &m_registry;
    ChannelListLibrary &m_library;
    QVector<SuggestedList> m_suggested;
    QTreeWidget *m_lists = nullptr;
    QLineEdit *m_address = nullptr;
    QLabel *m_message = nullptr;
    QLabel *m_coverage = nullptr;
    QPushButton *m_showCovered = nullptr;
    QListWidget *m_covered = nullptr;
    QListWidget *m_suggestions = nullptr;
    QCheckBox *m_acceptInvalid = nullptr;
    QGroupBox *m_suggestedBox = nullptr;
    QVBoxLayout *m_layout = nullptr;
};

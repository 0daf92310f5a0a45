#pragma once

#include "lists/SuggestedLists.h"

#include <QDialog>
#include <QVector>

class QCheckBox;

// Tells the user that a channel (or the program, on a first start with no
// list) has no address yet, offers the suggested public lists when given
// some, and opens "Listas de canais". Not modal: the program keeps running.
class ChannelListsNotice : public QDialog
{
    Q_OBJECT

public:
    // suggested empty: no offer, only the notice. Guides are offered with the
    // lists, never ticked: they only help once some list plays.
    ChannelListsNotice(const QString &text, const QVector<SuggestedList> &suggested,
        QWidget *parent = nullptr, const QVector<SuggestedList> &suggestedGuides = {});

    static QString noAddressText(const QString &channel);
    static QString firstStartText();

    // The suggestions ticked when "Adicionar" was pressed.
    QVector<SuggestedList> chosen() const;
    // One more line of the offer, ticked: the built-in radios looked up in the
    // public radio database. Its answer is radioSearchAnswered(), once.
    void offerRadioSearch();
    QVector<SuggestedList> chosenGuides() const;

signals:
    // Before suggestionsAccepted, when any guide was ticked.
    void guidesAccepted(const QVector<SuggestedList> &chosen);
    void suggestionsAccepted(const QVector<SuggestedList> &chosen);
    void suggestionsDeclined();
    void openListsRequested();
    // Accepting the offer with the line ticked is a yes; anything else a no.
    void radioSearchAnswered(bool accepted);

private:
    // Tall enough for the wrapped texts at the width shown.
    void fitTexts();

    QVector<SuggestedList> m_suggested;
    QVector<QCheckBox *> m_checks;
    QCheckBox *m_radioSearch = nullptr;
    QVector<SuggestedList> m_suggestedGuides;
    QVector<QCheckBox *> m_guideChecks;
    bool m_answered = false;
    bool m_accepted = false; // "Adicionar listas" (or "OK" when nothing is offered)
};

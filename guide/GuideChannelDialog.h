#pragma once

#include "guide/GuideChoices.h"

#include <QDialog>
#include <optional>

class GuideMatcher;
class GuideRegistry;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

// "Escolher guia…": which guide channel a channel is, searched as one types
// (case and accents ignored). "Automático" leaves it to the matching by id and
// name, "Nenhum" gives the channel no guide at all.
class GuideChannelDialog : public QDialog
{
    Q_OBJECT

public:
    // The answer: a guide channel, "Nenhum" (Choice::isNone), or nullopt for "Automático".
    using Answer = std::optional<GuideChoices::Choice>;

    GuideChannelDialog(const QString &channelName, const GuideMatcher &matcher, const GuideRegistry &registry,
        const Answer &current, QWidget *parent = nullptr);

    Answer answer() const;
    int shownCount() const;
    void setSearchText(const QString &text);
    // Picks the row of this guide channel; false when it is not listed.
    bool select(const QString &guideId, const QString &channelId);

private:
    void filter(const QString &text);

    QLineEdit *m_search = nullptr;
    QListWidget *m_channels = nullptr;
    QVector<QString> m_keys; // folded text of each row, for the search
};

#pragma once

#include <QHash>
#include <QObject>
#include <QSettings>
#include <QString>
#include <optional>

// The user's own answer to "which guide channel is this channel?", kept across
// runs in "guide-choices.ini" in the per-user configuration folder. It wins
// over any match: a guide channel, or "Nenhum" (no guide at all). Channels are
// known by their identity (ChannelPicks::identityOf; "builtin:<control>" for
// the program's own channels).
class GuideChoices : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxChoices = 5000;

    struct Choice {
        QString guideId; // empty: "Nenhum"
        QString channelId; // the guide's <channel id>

        bool isNone() const { return guideId.isEmpty(); }
        bool operator==(const Choice &o) const { return guideId == o.guideId && channelId == o.channelId; }
    };

    static QString defaultPath(); // <config>/guide-choices.ini
    static QString builtInIdentity(const QString &control); // "builtin:SpeedButton2"

    explicit GuideChoices(const QString &path = defaultPath(), QObject *parent = nullptr);

    std::optional<Choice> choiceFor(const QString &identity) const;
    const QHash<QString, Choice> &all() const { return m_choices; }
    void choose(const QString &identity, const QString &guideId, const QString &channelId);
    void chooseNone(const QString &identity);
    // Back to the automatic match.
    void forget(const QString &identity);

signals:
    void choicesChanged();

private:
    void set(const QString &identity, const std::optional<Choice> &choice);
    void save();

    QSettings m_settings;
    QHash<QString, Choice> m_choices;
};

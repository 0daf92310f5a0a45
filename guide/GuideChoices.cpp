#include "guide/GuideChoices.h"

#include <QDir>
#include <QStandardPaths>

namespace
{
const QString ChoicesArray = QStringLiteral("choices");
}

QString GuideChoices::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("guide-choices.ini"));
}

QString GuideChoices::builtInIdentity(const QString &control)
{
    return QStringLiteral("builtin:") + control;
}

GuideChoices::GuideChoices(const QString &path, QObject *parent)
    : QObject(parent)
    , m_settings(path, QSettings::IniFormat)
{
    // Identities hold "/" and ":", which settings keys cannot: an array of entries instead.
    const int count = qMin(m_settings.beginReadArray(ChoicesArray), MaxChoices);
    for (int i = 0; i < count; ++i) {
        m_settings.setArrayIndex(i);
        const QString identity = m_settings.value(QStringLiteral("channel")).toString();
        Choice choice { m_settings.value(QStringLiteral("guide")).toString(),
            m_settings.value(QStringLiteral("guideChannel")).toString() };
        if (identity.isEmpty() || (!choice.isNone() && choice.channelId.isEmpty()))
            continue;
        m_choices.insert(identity, choice);
    }
    m_settings.endArray();
}

std::optional<GuideChoices::Choice> GuideChoices::choiceFor(const QString &identity) const
{
    const auto found = m_choices.constFind(identity);
    if (found == m_choices.constEnd())
        return std::nullopt;
    return *found;
}

void GuideChoices::choose(const QString &identity, const QString &guideId, const QString &channelId)
{
    if (guideId.isEmpty() || channelId.isEmpty())
        return;
    set(identity, Choice { guideId, channelId });
}

void GuideChoices::chooseNone(const QString &identity)
{
    set(identity, Choice {});
}

void GuideChoices::forget(const QString &identity)
{
    set(identity, std::nullopt);
}

void GuideChoices::set(const QString &identity, const std::optional<Choice> &choice)
{
    if (identity.isEmpty())
        return;
    const std::optional<Choice> before = choiceFor(identity);
    if (before == choice)
        return;
    if (choice) {
        if (!before && m_choices.size() >= MaxChoices)
            return;
        m_choices.insert(identity, *choice);
    } else {
        m_choices.remove(identity);
    }
    save();
    emit choicesChanged();
}

void GuideChoices::save()
{
    m_settings.remove(ChoicesArray);
    m_settings.beginWriteArray(ChoicesArray, int(m_choices.size()));
    int i = 0;
    for (auto it = m_choices.constBegin(); it != m_choices.constEnd(); ++it, ++i) {
        m_settings.setArrayIndex(i);
        m_settings.setValue(QStringLiteral("channel"), it.key());
        m_settings.setValue(QStringLiteral("guide"), it->guideId);
        m_settings.setValue(QStringLiteral("guideChannel"), it->channelId);
    }
    m_settings.endArray();
    m_settings.sync();
}

#include "recording/RecordingsDialogs.h"

#include "recording/RecordingList.h"
#include "recording/ScheduleDialog.h"
#include "widgets/Dialogs.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

std::optional<QString> StandardRecordingsDialogs::askNewName(QWidget *parent, const Recording &recording)
{
    const QString current = recording.files.isEmpty() ? recording.channel
                                                      : QFileInfo(recording.files.first()).completeBaseName();
    const QString name = askForText(parent,
        { QStringLiteral("Renomear gravação"), QStringLiteral("Novo nome do arquivo (sem a extensão):"),
            current });
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<ScheduledRecording> StandardRecordingsDialogs::askSchedule(
    QWidget *parent, const QVector<ChannelChoice> &channels, const QDateTime &now)
{
    ScheduleDialog dialog(channels, now, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.entry();
}

void StandardRecordingsDialogs::openFolder(const QString &folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

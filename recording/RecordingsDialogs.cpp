#include "recording/RecordingsDialogs.h"

#include "recording/RecordingList.h"
#include "recording/ScheduleDialog.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QInputDialog>
#include <QUrl>

std::optional<QString> StandardRecordingsDialogs::askNewName(QWidget *parent, const Recording &recording)
{
    bool ok = false;
    const QString current = recording.files.isEmpty() ? recording.channel
                                                      : QFileInfo(recording.files.first()).completeBaseName();
    const QString name = QInputDialog::getText(parent, QStringLiteral("Renomear gravação"),
        QStringLiteral("Novo nome do arquivo (sem a extensão):"), QLineEdit::Normal, current, &ok);
    if (!ok)
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

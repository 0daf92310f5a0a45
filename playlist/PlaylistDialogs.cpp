#include "playlist/PlaylistDialogs.h"

#include "playlist/PlaylistRules.h"
#include "widgets/Dialogs.h"
#include "widgets/MessageBox.h"

namespace PlaylistDialogs
{

QStringList chooseFilesToAdd(QWidget *window)
{
    FileRequest request;
    request.kind = FileRequest::Kind::OpenMany;
    request.caption = QStringLiteral("Escolha até 200 musicas por vez ou selecione e arraste as musicas "
                                     "pelo explorer.");
    request.nameFilters = PlaylistRules::openDialogFilters();
    return askForFiles(window, request);
}

QString chooseFileToSave(QWidget *window)
{
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.caption = QStringLiteral("Escolha o local e digite o nome da lista...");
    request.nameFilters = QStringList { QStringLiteral("Lumivortex PlayList (*.lpl)") };
    request.confirmOverwrite = false;
    return askForFile(window, request);
}

bool confirm(QWidget *window, const QString &text)
{
    MessageRequest request;
    request.caption = QStringLiteral("Confirmação");
    request.text = text;
    request.icon = QMessageBox::Question;
    request.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    request.defaultButton = QMessageBox::Ok;
    request.escapeButton = QMessageBox::Cancel;
    return ::showMessage(window, request) == QMessageBox::Ok;
}

void showError(QWidget *window, const QString &text)
{
    MessageRequest request;
    request.caption = applicationTitle();
    request.text = text;
    request.icon = QMessageBox::Critical;
    ::showMessage(window, request);
}

void showNotice(QWidget *window, const QString &text)
{
    MessageRequest request;
    request.caption = applicationTitle();
    request.text = text;
    request.icon = QMessageBox::Warning;
    ::showMessage(window, request);
}

} // namespace PlaylistDialogs

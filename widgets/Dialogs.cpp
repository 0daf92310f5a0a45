#include "widgets/Dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>

namespace
{
FileHandler &fileHandler()
{
    static FileHandler h;
    return h;
}

TextHandler &textHandler()
{
    static TextHandler h;
    return h;
}
} // namespace

void setFileHandler(FileHandler handler)
{
    fileHandler() = std::move(handler);
}

void setTextHandler(TextHandler handler)
{
    textHandler() = std::move(handler);
}

QStringList askForFiles(QWidget *parent, const FileRequest &request)
{
    if (fileHandler())
        return fileHandler()(parent, request);
    QFileDialog dialog(parent, request.caption);
    switch (request.kind) {
    case FileRequest::Kind::Open:
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileRequest::Kind::OpenMany:
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case FileRequest::Kind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (!request.confirmOverwrite)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        break;
    }
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        dialog.selectNameFilter(request.nameFilters.constFirst());
    }
    if (!request.proposed.isEmpty()) {
        const QFileInfo proposed(request.proposed);
        if (proposed.isDir()) {
            dialog.setDirectory(request.proposed);
        } else {
            dialog.setDirectory(proposed.absolutePath());
            dialog.selectFile(proposed.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QStringList askForFiles(QFileDialog &dialog, const FileRequest &request)
{
    if (fileHandler())
        return fileHandler()(dialog.parentWidget(), request);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString askForFile(QWidget *parent, const FileRequest &request)
{
    const QStringList chosen = askForFiles(parent, request);
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

QString askForText(QWidget *parent, const TextRequest &request)
{
    if (textHandler())
        return textHandler()(parent, request);
    bool accepted = false;
    const QString text = QInputDialog::getText(
        parent, request.caption, request.label, QLineEdit::Normal, request.text, &accepted);
    return accepted ? text : QString();
}

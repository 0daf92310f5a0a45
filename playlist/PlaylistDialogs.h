#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What the playlist window asks and tells the user, through the program's
// dialogs (tests answer them with the dialog handlers).
namespace PlaylistDialogs
{
// The files chosen in order; empty when cancelled.
QStringList chooseFilesToAdd(QWidget *window);
// The folder and name chosen for a saved list; empty when cancelled.
QString chooseFileToSave(QWidget *window);
// True on OK.
bool confirm(QWidget *window, const QString &text);
// The general error box.
void showError(QWidget *window, const QString &text);
// Files that were refused while adding.
void showNotice(QWidget *window, const QString &text);
} // namespace PlaylistDialogs

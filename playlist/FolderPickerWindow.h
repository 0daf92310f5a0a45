#pragma once

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QListView;
class QTreeView;

// The monitored-folder picker "Selecione a pasta a ser monitorada": a drive
// (mount point) box, the folder tree of that drive and the files of the chosen
// folder. The feature is switched off, so nothing opens it during a run; the
// file-system models are only made the first time it is shown.
class FolderPickerWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FolderPickerWindow(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createModels();
    void driveChanged();
    void folderChanged();

    QComboBox *m_drives = nullptr;
    QTreeView *m_folderTree = nullptr;
    QListView *m_fileList = nullptr;
    QFileSystemModel *m_folders = nullptr;
    QFileSystemModel *m_files = nullptr;
};

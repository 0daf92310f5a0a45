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
    void DriveComboBox1Change();
    void DirectoryListBox1Change();

    QComboBox *DriveComboBox1 = nullptr;
    QTreeView *DirectoryListBox1 = nullptr;
    QListView *FileListBox1 = nullptr;
    QWidget *Panel1 = nullptr;
    QFileSystemModel *m_folders = nullptr;
    QFileSystemModel *m_files = nullptr;
};

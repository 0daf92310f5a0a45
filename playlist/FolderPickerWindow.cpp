#include "playlist/FolderPickerWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QStorageInfo>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace
{

class FixedRowDelegate : public QStyledItemDelegate
{
public:
    FixedRowDelegate(int height, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_height(height)
    {
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return { QStyledItemDelegate::sizeHint(option, index).width(), m_height };
    }

private:
    int m_height;
};

} // namespace

FolderPickerWindow::FolderPickerWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Selecione a pasta a ser monitorada"));
    setFixedSize(330, 353);

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("DriveComboBox1"));
    m_drives->setGeometry(0, 0, 329, 19);

    m_folderTree = new QTreeView(this);
    m_folderTree->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_folderTree->setGeometry(0, 20, 330, 149);
    m_folderTree->setHeaderHidden(true);
    m_folderTree->setItemDelegate(new FixedRowDelegate(16, m_folderTree));
    m_folderTree->setUniformRowHeights(true);

    m_fileList = new QListView(this);
    m_fileList->setObjectName(QStringLiteral("FileListBox1"));
    m_fileList->setGeometry(0, 170, 330, 131);
    m_fileList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fileList->setItemDelegate(new FixedRowDelegate(13, m_fileList));
    m_fileList->setUniformItemSizes(true);

    // An empty strip: the picker has no confirm or cancel button.
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setGeometry(0, 353 - 49, 330, 49);
}

void FolderPickerWindow::showEvent(QShowEvent *event)
{
    if (!m_folders)
        createModels();
    QWidget::showEvent(event);
}

void FolderPickerWindow::createModels()
{
    m_folders = new QFileSystemModel(this);
    m_folders->setObjectName(QStringLiteral("FolderModel"));
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setRootPath(QString());
    m_folderTree->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_folderTree->hideColumn(column);

    m_files = new QFileSystemModel(this);
    m_files->setObjectName(QStringLiteral("FileModel"));
    m_files->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    m_fileList->setModel(m_files);

    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            m_drives->addItem(volume.rootPath(), volume.rootPath());
    }
    connect(m_drives, &QComboBox::currentIndexChanged, this, [this] { driveChanged(); });
    connect(m_folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this] { folderChanged(); });
    const int home = m_drives->findData(QStorageInfo(QDir::homePath()).rootPath());
    m_drives->setCurrentIndex(home >= 0 ? home : 0);
    driveChanged();
}

void FolderPickerWindow::driveChanged()
{
    const QString root = m_drives->currentData().toString();
    if (root.isEmpty())
        return;
    const QModelIndex index = m_folders->index(root);
    m_folderTree->setRootIndex(index);
    m_folderTree->setCurrentIndex(index);
    folderChanged();
}

void FolderPickerWindow::folderChanged()
{
    const QModelIndex current = m_folderTree->currentIndex();
    const QString folder
        = current.isValid() ? m_folders->filePath(current) : m_drives->currentData().toString();
    m_fileList->setRootIndex(m_files->setRootPath(folder));
}

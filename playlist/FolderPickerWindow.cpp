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

    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setGeometry(0, 0, 329, 19);

    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setGeometry(0, 20, 330, 149);
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setItemDelegate(new FixedRowDelegate(16, DirectoryListBox1));
    DirectoryListBox1->setUniformRowHeights(true);

    FileListBox1 = new QListView(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(0, 170, 330, 131);
    FileListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    FileListBox1->setItemDelegate(new FixedRowDelegate(13, FileListBox1));
    FileListBox1->setUniformItemSizes(true);

    // An empty strip: the picker has no confirm or cancel button.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 353 - 49, 330, 49);
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
    DirectoryListBox1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);

    m_files = new QFileSystemModel(this);
    m_files->setObjectName(QStringLiteral("FileModel"));
    m_files->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    FileListBox1->setModel(m_files);

    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            DriveComboBox1->addItem(volume.rootPath(), volume.rootPath());
    }
    connect(DriveComboBox1, &QComboBox::currentIndexChanged, this, [this] { DriveComboBox1Change(); });
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this] { DirectoryListBox1Change(); });
    const int home = DriveComboBox1->findData(QStorageInfo(QDir::homePath()).rootPath());
    DriveComboBox1->setCurrentIndex(home >= 0 ? home : 0);
    DriveComboBox1Change();
}

void FolderPickerWindow::DriveComboBox1Change()
{
    const QString root = DriveComboBox1->currentData().toString();
    if (root.isEmpty())
        return;
    const QModelIndex index = m_folders->index(root);
    DirectoryListBox1->setRootIndex(index);
    DirectoryListBox1->setCurrentIndex(index);
    DirectoryListBox1Change();
}

void FolderPickerWindow::DirectoryListBox1Change()
{
    const QModelIndex current = DirectoryListBox1->currentIndex();
    const QString folder
        = current.isValid() ? m_folders->filePath(current) : DriveComboBox1->currentData().toString();
    FileListBox1->setRootIndex(m_files->setRootPath(folder));
}

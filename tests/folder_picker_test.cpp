// The monitored-folder picker FolderPickerWindow: its controls, and file-system models
// that are only made when it is first shown.
#include "playlist/FolderPickerWindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QListView>
#include <QTest>
#include <QTreeView>

class FolderPickerTest : public QObject
{
    Q_OBJECT

private slots:
    void pickerHasItsControls();
    void startUpPaysNoFileSystemModel();
    void firstShowListsDrivesFoldersAndFiles();
};

void FolderPickerTest::pickerHasItsControls()
{
    FolderPickerWindow picker;
    QCOMPARE(picker.windowTitle(), QStringLiteral("Selecione a pasta a ser monitorada"));
    QCOMPARE(picker.size(), QSize(330, 353));
    QCOMPARE(picker.minimumSize(), picker.maximumSize());
    QVERIFY(!picker.isVisible());
    const QList<QPair<const char *, QRect>> places { { "DriveComboBox1", QRect(0, 0, 329, 19) },
        { "DirectoryListBox1", QRect(0, 20, 330, 149) }, { "FileListBox1", QRect(0, 170, 330, 131) },
        { "Panel1", QRect(0, 304, 330, 49) } };
    for (const auto &place : places) {
        auto *control = picker.findChild<QWidget *>(QString::fromLatin1(place.first));
        QVERIFY2(control, place.first);
        QCOMPARE(control->geometry(), place.second);
    }
    QCOMPARE(picker.findChild<QListView *>(QStringLiteral("FileListBox1"))->selectionMode(),
        QAbstractItemView::SingleSelection);
    // No confirm or cancel button anywhere.
    QVERIFY(picker.findChildren<QAbstractButton *>().isEmpty());
}

void FolderPickerTest::startUpPaysNoFileSystemModel()
{
    FolderPickerWindow picker;
    QVERIFY(picker.findChildren<QFileSystemModel *>().isEmpty());
    QCOMPARE(picker.findChild<QComboBox *>(QStringLiteral("DriveComboBox1"))->count(), 0);
    QVERIFY(!picker.findChild<QTreeView *>(QStringLiteral("DirectoryListBox1"))->model()
        || !qobject_cast<QFileSystemModel *>(
            picker.findChild<QTreeView *>(QStringLiteral("DirectoryListBox1"))->model()));
}

void FolderPickerTest::firstShowListsDrivesFoldersAndFiles()
{
    FolderPickerWindow picker;
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QCOMPARE(picker.findChildren<QFileSystemModel *>().size(), 2);
    auto *drives = picker.findChild<QComboBox *>(QStringLiteral("DriveComboBox1"));
    QVERIFY(drives->count() > 0);
    QVERIFY(drives->currentIndex() >= 0);
    auto *folders = picker.findChild<QTreeView *>(QStringLiteral("DirectoryListBox1"));
    auto *folderModel = qobject_cast<QFileSystemModel *>(folders->model());
    QVERIFY(folderModel);
    QVERIFY(folderModel->filter().testFlag(QDir::AllDirs));
    QVERIFY(!folderModel->filter().testFlag(QDir::Files));
    auto *files = picker.findChild<QListView *>(QStringLiteral("FileListBox1"));
    auto *fileModel = qobject_cast<QFileSystemModel *>(files->model());
    QVERIFY(fileModel);
    QVERIFY(fileModel->filter().testFlag(QDir::Files));
    QCOMPARE(fileModel->filePath(files->rootIndex()), drives->currentText());
    // A second show makes no new models; closing hides.
    picker.hide();
    picker.show();
    QCOMPARE(picker.findChildren<QFileSystemModel *>().size(), 2);
    picker.close();
    QVERIFY(!picker.isVisible());
}

QTEST_MAIN(FolderPickerTest)
#include "folder_picker_test.moc"

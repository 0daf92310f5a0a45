#include "update/UpdateWindow.h"

#include "base/SafeCall.h"
#include "update/HttpDownload.h"
#include "update/TransferText.h"
#include "update/UpdateSettings.h"
#include "widgets/Dialogs.h"
#include "widgets/MessageBox.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTemporaryFile>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace
{

const QString DownloadFailedText
    = QStringLiteral("Não foi possível baixar a atualização. Verifique sua conexão e tente novamente.");

QLabel *label(const QString &name, QWidget *parent, const QRect &geometry)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent, const QRect &geometry)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}

// An empty file beside target for the download to fill, with the rights of the
// file it will replace (the usual ones for a new file); empty when the folder
// cannot be written.
QString createPartialFile(const QString &target)
{
    QTemporaryFile partial(target + QStringLiteral(".XXXXXX.part"));
    partial.setAutoRemove(false);
    if (!partial.open())
        return QString();
    const QFileInfo old(target);
    partial.setPermissions(old.exists() ? old.permissions()
                                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return partial.fileName();
}

QTimer *namedTimer(const QString &name, QObject *parent)
{
    auto *t = new QTimer(parent);
    t->setObjectName(name);
    t->setInterval(2000);
    return t;
}

} // namespace

UpdateWindow::UpdateWindow(QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_settingsPath(updateSettingsFilePath())
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Lumivortex Update"));
    setFixedSize(281, 154);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("Gauge1"));
    m_progressBar->setGeometry(8, 8, 265, 21);
    m_progressBar->setRange(0, 1);
    m_progressBar->setValue(0);
    QPalette bar = m_progressBar->palette();
    bar.setColor(QPalette::Highlight, QColor(138, 191, 255));
    m_progressBar->setPalette(bar);

    m_sizeText = label(QStringLiteral("Label3"), this, QRect(8, 36, 265, 36));
    m_speedText = label(QStringLiteral("Label4"), this, QRect(8, 76, 265, 18));
    QPushButton *download
        = button(QStringLiteral("Button1"), QStringLiteral("Download"), this, QRect(52, 116, 85, 27));
    QPushButton *cancelButton
        = button(QStringLiteral("Button2"), QStringLiteral("Cancelar"), this, QRect(144, 116, 85, 27));

    m_download = new HttpDownload(this);
    m_download->setObjectName(QStringLiteral("HTTPGet1"));
    m_download->setMaxBytes(kUpdateDownloadMaxBytes);
    m_download->OnProgress
        = [this](QObject *, qint64 total, qint64 received) { showProgress(total, received); };
    m_download->OnDoneFile = [this](QObject *, const QString &, qint64) { downloadFinished(); };
    // A failed download used to pass in silence, the window frozen on its last progress.
    m_download->OnError = [this](QObject *) { downloadFailed(); };

    m_speedTimer = namedTimer(QStringLiteral("Timer1"), this);
    m_closeTimer = namedTimer(QStringLiteral("Timer2"), this);
    m_saveDialog = new QFileDialog(this);
    m_saveDialog->setObjectName(QStringLiteral("SaveDialog1"));
    m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_saveDialog->setFileMode(QFileDialog::AnyFile);

    connect(download, &QPushButton::clicked, this, [this] { safeCall([this] { startDownload(); }); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { safeCall([this] { cancel(); }); });
    connect(m_speedTimer, &QTimer::timeout, this, [this] { safeCall([this] { showSpeed(); }); });
    connect(m_closeTimer, &QTimer::timeout, this, [this] { safeCall([this] { closeAfterCancel(); }); });
}

UpdateWindow::~UpdateWindow() = default;

QString UpdateWindow::execSaveDialog(const QString &proposed)
{
    m_saveDialog->selectFile(proposed);
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.proposed = proposed;
    return askForFiles(*m_saveDialog, request).value(0);
}

void UpdateWindow::startDownload()
{
    const UpdateSettings settings = readUpdateSettings(m_settingsPath);
    m_download->setURL(settings.downloadLink.value_or(m_download->URL()));
    // The server proposes a name, never a place: a path in it is dropped.
    if (settings.downloadName)
        m_saveFileName = QFileInfo(*settings.downloadName).fileName();
    const QString chosen = execSaveDialog(m_saveFileName);
    if (chosen.isEmpty())
        return;
    m_saveFileName = chosen;
    if (!m_download->isRunning()) {
        const QString partial = createPartialFile(chosen);
        if (partial.isEmpty()) {
            showWarning(QStringLiteral("Não foi possível gravar em %1. Escolha outra pasta.")
                            .arg(QFileInfo(chosen).absolutePath()));
            return;
        }
        m_download->setFileName(partial);
        m_download->StartDownload();
        m_transferFile = partial;
        m_transferTarget = chosen;
        m_userCancelled = false;
        m_receivedKB = 0;
        m_previousKB = 0;
    }
    m_speedTimer->start();
}

void UpdateWindow::cancel()
{
    // The cancelled transfer's partial file goes when that transfer ends (its
    // OnError); the chosen file is never touched.
    if (m_download->isRunning()) {
        m_userCancelled = true;
        m_download->Cancel();
    }
    m_closeTimer->start();
}

void UpdateWindow::closeAfterCancel()
{
    m_closeTimer->stop();
    close();
}

void UpdateWindow::showSpeed()
{
    m_speedText->setText(speedText(m_receivedKB, m_previousKB));
    m_previousKB = m_receivedKB;
}

void UpdateWindow::showProgress(qint64 totalSize, qint64 received)
{
    // The bar counts in kilobytes once the size no longer fits its int range.
    const qint64 scale = totalSize > std::numeric_limits<int>::max() ? 1024 : 1;
    const int maximum = int(totalSize / scale);
    if (maximum <= 0) {
        m_progressBar->setRange(0, 1); // no known size: an empty bar, not a busy indicator
        m_progressBar->setValue(0);
    } else {
        m_progressBar->setRange(0, maximum);
        m_progressBar->setValue(int(std::min<qint64>(received / scale, maximum)));
    }
    m_sizeText->setText(progressText(totalSize, received, QLocale::system()));
    m_receivedKB = received / 1024.0;
}

bool UpdateWindow::replaceWithDownload()
{
    // rename() replaces the target in one step: no moment without a file there.
    if (std::rename(
            QFile::encodeName(m_transferFile).constData(), QFile::encodeName(m_transferTarget).constData())
        == 0)
        return true;
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    QFile::remove(m_transferFile);
    showWarning(QStringLiteral("Não foi possível gravar %1: %2").arg(m_transferTarget, reason));
    return false;
}

void UpdateWindow::downloadFinished()
{
    m_speedTimer->stop();
    if (!replaceWithDownload())
        return;
    MessageRequest request;
    request.caption = applicationTitle();
    request.text = QStringLiteral("Atualização Concluída");
    request.icon = QMessageBox::Information;
    showMessage(this, request);
    QFile::remove(m_settingsPath);
    close();
}

void UpdateWindow::downloadFailed()
{
    m_speedTimer->stop();
    // Only the partial file goes: the chosen file stays as it was.
    QFile::remove(m_transferFile);
    if (!m_userCancelled)
        showWarning(DownloadFailedText);
}

void UpdateWindow::showWarning(const QString &text)
{
    MessageRequest request;
    request.caption = applicationTitle();
    request.text = text;
    request.icon = QMessageBox::Warning;
    showMessage(this, request);
}

void UpdateWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void UpdateWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_speedTimer->stop();
}

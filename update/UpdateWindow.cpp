#include "update/UpdateWindow.h"

#include "base/SafeCall.h"
#include "update/HttpDownload.h"
#include "update/TransferText.h"
#include "update/UpdateSettings.h"
#include "widgets/MessageBox.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
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

QTimer *timer(const QString &name, QObject *parent)
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

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(8, 8, 265, 21);
    Gauge1->setRange(0, 1);
    Gauge1->setValue(0);
    QPalette bar = Gauge1->palette();
    bar.setColor(QPalette::Highlight, QColor(138, 191, 255));
    Gauge1->setPalette(bar);

    Label3 = label(QStringLiteral("Label3"), this, QRect(8, 36, 265, 36));
    Label4 = label(QStringLiteral("Label4"), this, QRect(8, 76, 265, 18));
    Button1 = button(QStringLiteral("Button1"), QStringLiteral("Download"), this, QRect(52, 116, 85, 27));
    Button2 = button(QStringLiteral("Button2"), QStringLiteral("Cancelar"), this, QRect(144, 116, 85, 27));

    HTTPGet1 = new HttpDownload(this);
    HTTPGet1->setObjectName(QStringLiteral("HTTPGet1"));
    HTTPGet1->OnProgress
        = [this](QObject *sender, qint64 total, qint64 readed) { HTTPGet1Progress(sender, total, readed); };
    HTTPGet1->OnDoneFile
        = [this](QObject *sender, const QString &file, qint64 size) { HTTPGet1DoneFile(sender, file, size); };
    // A failed download used to pass in silence, the window frozen on its last progress.
    HTTPGet1->OnError = [this](QObject *sender) { HTTPGet1Error(sender); };

    Timer1 = timer(QStringLiteral("Timer1"), this);
    Timer2 = timer(QStringLiteral("Timer2"), this);
    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);

    connect(Button1, &QPushButton::clicked, this, [this] { safeCall([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { safeCall([this] { Button2Click(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { safeCall([this] { Timer1Timer(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { safeCall([this] { Timer2Timer(); }); });
}

UpdateWindow::~UpdateWindow() = default;

QString UpdateWindow::execSaveDialog(const QString &proposed)
{
    if (runSaveDialog)
        return runSaveDialog(proposed);
    SaveDialog1->selectFile(proposed);
    if (SaveDialog1->exec() != QDialog::Accepted)
        return QString();
    return SaveDialog1->selectedFiles().value(0);
}

void UpdateWindow::Button1Click()
{
    const UpdateSettings settings = readUpdateSettings(m_settingsPath);
    HTTPGet1->setURL(settings.downloadLink.value_or(HTTPGet1->URL()));
    // The server proposes a name, never a place: a path in it is dropped.
    if (settings.downloadName)
        m_saveFileName = QFileInfo(*settings.downloadName).fileName();
    const QString chosen = execSaveDialog(m_saveFileName);
    if (chosen.isEmpty())
        return;
    m_saveFileName = chosen;
    HTTPGet1->setFileName(chosen);
    if (!HTTPGet1->isRunning()) {
        HTTPGet1->StartDownload();
        m_transferFile = HTTPGet1->runningFileName();
        m_userCancelled = false;
        ReceivedKB = 0;
        PreviousKB = 0;
    }
    Timer1->start();
}

void UpdateWindow::Button2Click()
{
    // The cancelled transfer's partial file goes when that transfer ends (its
    // OnError); a file that a later "Download" merely named is never touched.
    if (HTTPGet1->isRunning()) {
        m_userCancelled = true;
        HTTPGet1->Cancel();
    }
    Timer2->start();
}

void UpdateWindow::Timer2Timer()
{
    Timer2->stop();
    close();
}

void UpdateWindow::Timer1Timer()
{
    Label4->setText(speedText(ReceivedKB, PreviousKB));
    PreviousKB = ReceivedKB;
}

void UpdateWindow::HTTPGet1Progress(QObject *, qint64 TotalSize, qint64 Readed)
{
    // The bar counts in kilobytes once the size no longer fits its int range.
    const qint64 scale = TotalSize > std::numeric_limits<int>::max() ? 1024 : 1;
    const int maximum = int(TotalSize / scale);
    if (maximum <= 0) {
        Gauge1->setRange(0, 1); // no known size: an empty bar, not a busy indicator
        Gauge1->setValue(0);
    } else {
        Gauge1->setRange(0, maximum);
        Gauge1->setValue(int(std::min<qint64>(Readed / scale, maximum)));
    }
    Label3->setText(progressText(TotalSize, Readed, QLocale::system()));
    ReceivedKB = Readed / 1024.0;
}

void UpdateWindow::HTTPGet1DoneFile(QObject *, const QString &, qint64)
{
    Timer1->stop();
    MessageRequest request;
    request.caption = applicationTitle();
    request.text = QStringLiteral("Atualização Concluída");
    request.icon = QMessageBox::Information;
    showMessage(this, request);
    QFile::remove(m_settingsPath);
    close();
}

void UpdateWindow::HTTPGet1Error(QObject *)
{
    Timer1->stop();
    // Nothing half-downloaded is left where the user would take it for the
    // update; a file the transfer never reached is not ours to delete.
    if (HTTPGet1->lastCreatedFile() && !m_transferFile.isEmpty())
        QFile::remove(m_transferFile);
    if (m_userCancelled)
        return;
    MessageRequest request;
    request.caption = applicationTitle();
    request.text = DownloadFailedText;
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
    Timer1->stop();
}

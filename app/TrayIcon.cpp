#include "app/TrayIcon.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QWidget>

namespace
{
// Our own 31 x 31 picture: a blue screen with a play mark.
QIcon trayPicture()
{
    QPixmap pixmap(31, 31);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x1E, 0x5A, 0xC8));
    painter.setPen(QPen(QColor(0x0A, 0x2A, 0x70), 2));
    painter.drawRoundedRect(QRectF(2, 4, 27, 21), 4, 4);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygonF({ QPointF(12, 9), QPointF(12, 20), QPointF(21, 14.5) }));
    painter.setBrush(QColor(0x0A, 0x2A, 0x70));
    painter.drawRect(QRectF(11, 26, 9, 3));
    return QIcon(pixmap);
}
} // namespace

TrayIcon::TrayIcon(QWidget &mainWindow, QObject *parent)
    : QObject(parent)
    , m_window(mainWindow)
{
    setObjectName(QStringLiteral("TrayIcon"));
    m_menu = new QMenu(&m_window);
    m_menu->setObjectName(QStringLiteral("PopupMenuTrayIcon"));
    auto item = [this](const char *name, const QString &caption, std::function<void()> action) {
        QAction *a = m_menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [action = std::move(action)] { safeCall(action); });
    };
    item("RetornaraoLumivortex1", QStringLiteral("Retornar ao Lumivortex"), [this] { returnFromTray(); });
    item("AbrirPlaylist1", QStringLiteral("Abrir Playlist"), [this] { emit playlistRequested(); });
    m_menu->addSeparator()->setObjectName(QStringLiteral("N3"));
    item("Fechar1", QStringLiteral("Fechar"), [this] { emit endRequested(); });

    m_icon = new QSystemTrayIcon(trayPicture(), this);
    m_icon->setObjectName(QStringLiteral("RxTrayIcon1"));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            trayIconDoubleClicked();
    });
}

void TrayIcon::setRecordingStatus(const QString &text)
{
    if (!m_recordingStatus) {
        QAction *first = m_menu->actions().value(0);
        m_recordingStatus = new QAction(m_menu);
        m_recordingStatus->setObjectName(QStringLiteral("TrayRecordingStatus"));
        m_recordingStatus->setEnabled(false);
        m_menu->insertAction(first, m_recordingStatus);
        m_recordingSeparator = m_menu->insertSeparator(first);
        m_recordingSeparator->setObjectName(QStringLiteral("TrayRecordingSeparator"));
    }
    m_recordingStatus->setText(QStringLiteral("● ") + text);
    m_recordingStatus->setVisible(!text.isEmpty());
    m_recordingSeparator->setVisible(!text.isEmpty());
    m_icon->setToolTip(
        text.isEmpty() ? QString() : PlainText::tooltip(QStringLiteral("Lumivortex TV — ") + text));
}

QString TrayIcon::toolTip() const
{
    return m_icon->toolTip();
}

bool TrayIcon::trayAvailable() const
{
    return m_assumedAvailable.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

bool TrayIcon::iconShown() const
{
    return m_icon->isVisible();
}

void TrayIcon::hideToTray()
{
    if (!trayAvailable()) {
        m_window.showMinimized();
        return;
    }
    m_icon->show();
    m_window.hide();
}

void TrayIcon::returnFromTray()
{
    m_window.showNormal();
    m_window.raise();
    m_icon->hide();
}

#include "playback/MiniPlayerWindow.h"

#include "base/SafeCall.h"
#include "player/Transport.h"
#include "widgets/FlatButton.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace
{
constexpr int kWidth = 217;
constexpr int kHeight = 65;
constexpr int kSnapDistance = 10;
constexpr int kBottomMargin = 30;
constexpr double kOpacity = 170.0 / 255.0;
constexpr int kRadius = 12;

QPainterPath bodyPath()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(1, 1, kWidth - 2, kHeight - 2), kRadius, kRadius);
    return path;
}
} // namespace

MiniPlayerWindow::MiniPlayerWindow(Transport &transport, QWidget &mainWindow, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_transport(transport)
    , m_main(mainWindow)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Lumivortex"));
    setFixedSize(kWidth, kHeight);
    setWindowOpacity(kOpacity);
    // Only the rounded body shows: per-pixel alpha where the desktop composites,
    // a shaped window where it does not.
    setAttribute(Qt::WA_TranslucentBackground);
    setMask(QRegion(bodyPath().toFillPolygon().toPolygon()));

    for (auto [name, top, height] : { std::tuple { "Bevel1", 4, 1 }, std::tuple { "Bevel2", 7, 2 } }) {
        auto *grip = new QFrame(this);
        grip->setObjectName(QString::fromLatin1(name));
        grip->setFrameShape(QFrame::HLine);
        grip->setFrameShadow(QFrame::Sunken);
        grip->setGeometry(9, top, 192, height + 1);
        grip->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_text = new QLabel(QStringLiteral("00:00"), this);
    m_text->setObjectName(QStringLiteral("Label1"));
    m_text->setTextFormat(Qt::PlainText); // shows the name of what plays
    m_text->setGeometry(8, 10, 200, 28);
    m_text->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont small = m_text->font();
    small.setPixelSize(11);
    m_text->setFont(small);

    auto *panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setGeometry(8, 38, 201, 25);
    Transport &t = m_transport;
    auto press = [this](FlatButton *button, void (Transport::*handler)()) {
        connect(button, &QToolButton::clicked, this,
            [this, handler] { safeCall([this, handler] { (m_transport.*handler)(); }); });
    };
    press(button("SpeedButton1", Glyph::Previous, 0, panel1, QStringLiteral("Anterior")),
        &Transport::playPrevious);
    FlatButton *back = button("SpeedButton2", Glyph::Rewind, 24, panel1, QStringLiteral("Voltar"));
    press(
        button("SpeedButton3", Glyph::Play, 48, panel1, QStringLiteral("Reproduzir")), &Transport::playPause);
    press(button("SpeedButton4", Glyph::Stop, 72, panel1, QStringLiteral("Parar")), &Transport::stop);
    FlatButton *forward = button("SpeedButton5", Glyph::Forward, 96, panel1, QStringLiteral("Avançar"));
    press(button("SpeedButton6", Glyph::Next, 120, panel1, QStringLiteral("Próxima")), &Transport::playNext);
    press(button("SpeedButton7", Glyph::Eject, 148, panel1, QStringLiteral("Abrir arquivo")),
        &Transport::openFile);
    FlatButton *restore
        = button("SpeedButton8", Glyph::MiniPlayer, 178, panel1, QStringLiteral("Janela principal"));
    connect(back, &QToolButton::pressed, &t, [&t] { t.setScanningBack(true); });
    connect(back, &QToolButton::released, &t, [&t] { t.setScanningBack(false); });
    connect(forward, &QToolButton::pressed, &t, [&t] { t.setScanningForward(true); });
    connect(forward, &QToolButton::released, &t, [&t] { t.setScanningForward(false); });
    connect(restore, &QToolButton::clicked, this, &MiniPlayerWindow::switchRequested);
    connect(&t, &Transport::displayRefreshed, this,
        [this] { setText(m_transport.timeText() + QLatin1Char('\n') + m_transport.nowPlaying()); });

    auto *panel2 = new QWidget(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setGeometry(202, 0, 9, 17);
    auto *close = new FlatButton(QStringLiteral("Label2"), QStringLiteral("x"), panel2, 0, -3, 9, 17);
    close->setAutoRaise(true);
    close->setCursor(Qt::PointingHandCursor);
    close->setAccessibleLabel(QStringLiteral("Fechar"));
    connect(close, &QToolButton::clicked, this, &MiniPlayerWindow::closeRequested);

    // Snapping follows moves; nothing runs while the window rests.
    m_snapTimer = new QTimer(this);
    m_snapTimer->setObjectName(QStringLiteral("Timer1"));
    m_snapTimer->setSingleShot(true);
    m_snapTimer->setInterval(1);
    connect(m_snapTimer, &QTimer::timeout, this, &MiniPlayerWindow::snapToEdgesTick);
}

FlatButton *MiniPlayerWindow::button(
    const char *name, const QString &glyph, int left, QWidget *panel, const QString &label)
{
    auto *b = new FlatButton(QString::fromLatin1(name), glyph, panel, left, 0, 23, 22);
    QFont font = b->font();
    font.setPixelSize(12);
    b->setFont(font);
    b->setCursor(Qt::PointingHandCursor);
    b->setAccessibleLabel(label);
    return b;
}

void MiniPlayerWindow::setText(const QString &text)
{
    m_text->setText(text);
}

QPoint MiniPlayerWindow::snapped(QPoint topLeft, QSize screen)
{
    int top = topLeft.y();
    int left = topLeft.x();
    if (top < kSnapDistance)
        top = 0;
    if (left < kSnapDistance)
        left = 0;
    if (left + kWidth > screen.width() - kSnapDistance)
        left = screen.width() - kWidth;
    if (top + kHeight > screen.height() - kSnapDistance)
        top = screen.height() - kHeight - kBottomMargin;
    return { left, top };
}

void MiniPlayerWindow::snapToEdgesTick()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QPoint target = snapped(pos(), screen->size());
    if (target != pos())
        move(target);
}

void MiniPlayerWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove())
        return;
    QWidget::mousePressEvent(event);
}

void MiniPlayerWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    m_snapTimer->start();
}

void MiniPlayerWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        move(m_main.frameGeometry().center() - rect().center());
    }
}

void MiniPlayerWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(palette().color(QPalette::Window));
    painter.drawPath(bodyPath());
}

#include "browser/BrowserWindow.h"

#include "base/SafeCall.h"
#include "browser/SearchAddress.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace
{

// The window is 488 x 395 with its frame; Qt sizes the client area, so the
// usual 4-pixel border and 26-pixel caption are taken off.
constexpr int ClientWidth = 488 - 8;
constexpr int ClientHeight = 395 - 34;
constexpr int PanelHeight = 49;

const QColor ActiveMode = ButtonColour::Blue;
const QColor InactiveMode { 0x00, 0x00, 0x00 };

QLabel *makeLabel(const char *name, const QString &text, QWidget *parent, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    QFont font = label->font();
    // The mode labels stand 66 to 72 pixels apart: a wide fallback font would overlap them.
    font.setFamilies({ QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
        QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans") });
    font.setPixelSize(11);
    label->setFont(font);
    label->adjustSize();
    return label;
}

FlatButton *makeGlyphButton(
    const char *name, const QString &glyph, const QString &accessible, QWidget *parent, int left)
{
    auto *button = new FlatButton(QLatin1String(name), glyph, parent, left, 8, 41, 33);
    QFont font = button->font();
    font.setPixelSize(22);
    button->setFont(font);
    button->setAccessibleLabel(accessible);
    button->setToolTip(accessible);
    return button;
}

} // namespace

BrowserWindow::BrowserWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_viewFactory(&createBrowserView)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Lumivortex Browser"));
    resize(ClientWidth, ClientHeight);

    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFixedHeight(PanelHeight);

    m_back = makeGlyphButton("SpeedButton1", QStringLiteral("\u21E6"), QStringLiteral("Voltar"), m_panel, 16);
    m_forward
        = makeGlyphButton("SpeedButton2", QStringLiteral("\u21E8"), QStringLiteral("Avançar"), m_panel, 64);
    m_stop = makeGlyphButton("SpeedButton3", QStringLiteral("\u2716"), QStringLiteral("Parar"), m_panel, 112);
    ButtonColour::set(m_stop, ButtonColour::Red);
    m_go = makeGlyphButton("SpeedButton4", QStringLiteral("\u279C"), QStringLiteral("Ir"), m_panel, 432);
    ButtonColour::set(m_go, QColor(0x00, 0x80, 0x00));

    QLabel *findCaption = makeLabel("Label5", QStringLiteral("Localizar:"), m_panel, 160, 0);
    m_searchBox = new QLineEdit(m_panel);
    m_searchBox->setObjectName(QStringLiteral("Edit1"));
    m_searchBox->setGeometry(160, 12, 265, 21);
    findCaption->setBuddy(m_searchBox);

    m_modeBrowser = makeLabel("Label2", QStringLiteral("Modo Browser"), m_panel, 160, 34);
    m_modeVideos = makeLabel("Label3", QStringLiteral("Modo Videos"), m_panel, 232, 34);
    m_modeLyrics = makeLabel("Label4", QStringLiteral("Modo Letras"), m_panel, 298, 34);
    for (QLabel *label : { m_modeBrowser, m_modeVideos, m_modeLyrics }) {
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }

    // Lies beyond the panel's right edge at the default size; seen when the window is widened.
    auto *title = new QLabel(QStringLiteral("Lumivortex Browser"), m_panel);
    title->setObjectName(QStringLiteral("Label1"));
    title->setGeometry(488, 16, 199, 27);
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setFamilies({ QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
        QStringLiteral("DejaVu Serif") });
    titleFont.setPixelSize(24);
    title->setFont(titleFont);
    title->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_panel);
    layout->addStretch(1);

    connect(m_back, &QAbstractButton::clicked, this, [this] { goBack(); });
    connect(m_forward, &QAbstractButton::clicked, this, [this] { goForward(); });
    connect(m_stop, &QAbstractButton::clicked, this, [this] { stopLoading(); });
    connect(m_go, &QAbstractButton::clicked, this, [this] { go(); });
    connect(m_searchBox, &QLineEdit::returnPressed, this, [this] { go(); });

    ButtonColour::set(m_modeBrowser, ActiveMode);
    ButtonColour::set(m_modeVideos, InactiveMode);
    ButtonColour::set(m_modeLyrics, InactiveMode);
}

BrowserWindow::~BrowserWindow() = default;

void BrowserWindow::setViewFactory(BrowserViewFactory factory)
{
    m_viewFactory = std::move(factory);
}

void BrowserWindow::showCentredOn(QWidget *mainWindow)
{
    // Client areas are centred on each other: a window never shown has no
    // frame yet, and both windows wear the same one.
    if (mainWindow != nullptr) {
        m_mainWindow = mainWindow;
        showCentredAt(mainWindow->geometry().center());
        return;
    }
    show();
    raise();
    activateWindow();
}

void BrowserWindow::showCentredAt(const QPoint &centre)
{
    QRect place = geometry();
    place.moveCenter(centre);
    setGeometry(place);
    show();
    raise();
    activateWindow();
}

void BrowserWindow::searchLyricsFor(const QString &nowPlayingText)
{
    if (isVisible()) {
        raise();
        activateWindow();
    } else {
        // The now-playing label is clicked on the main window, so that is the
        // active window when no main window has been given yet.
        QWidget *mainWindow = m_mainWindow;
        if (mainWindow == nullptr)
            mainWindow = parentWidget() != nullptr ? parentWidget()->window() : QApplication::activeWindow();
        showCentredOn(mainWindow != this ? mainWindow : nullptr);
    }
    selectMode(m_modeLyrics);
    m_searchBox->setText(nowPlayingText);
    go();
}

void BrowserWindow::setVisible(bool visible)
{
    // Made before the window is laid out and shown, so it is shown with it.
    if (visible)
        ensureView();
    QWidget::setVisible(visible);
}

void BrowserWindow::ensureView()
{
    if (m_view != nullptr || !m_viewFactory)
        return;
    m_view = m_viewFactory(this);
    if (m_view == nullptr)
        return;
    m_view->setObjectName(QStringLiteral("WebBrowser1"));
    auto *box = static_cast<QVBoxLayout *>(layout());
    // Takes the place of the stretch that held the room open until now.
    delete box->takeAt(1);
    box->addWidget(m_view, 1);
}

bool BrowserWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_modeBrowser)
            selectBrowserMode();
        else if (watched == m_modeVideos)
            selectVideosMode();
        else if (watched == m_modeLyrics)
            selectLyricsMode();
    }
    return QWidget::eventFilter(watched, event);
}

void BrowserWindow::selectMode(QLabel *active)
{
    for (QLabel *label : { m_modeBrowser, m_modeVideos, m_modeLyrics })
        ButtonColour::set(label, label == active ? ActiveMode : InactiveMode);
}

void BrowserWindow::selectBrowserMode()
{
    selectMode(m_modeBrowser);
    m_searchBox->setFocus();
}

void BrowserWindow::selectVideosMode()
{
    selectMode(m_modeVideos);
    m_searchBox->setFocus();
}

void BrowserWindow::selectLyricsMode()
{
    selectMode(m_modeLyrics);
    m_searchBox->setFocus();
}

void BrowserWindow::goBack()
{
    ensureView();
    if (m_view != nullptr)
        safeCall([this] { m_view->goBack(); });
}

void BrowserWindow::goForward()
{
    ensureView();
    if (m_view != nullptr)
        safeCall([this] { m_view->goForward(); });
}

void BrowserWindow::stopLoading()
{
    ensureView();
    if (m_view != nullptr)
        safeCall([this] { m_view->stop(); });
}

void BrowserWindow::go()
{
    const QString text = m_searchBox->text();
    if (ButtonColour::is(m_modeLyrics, ActiveMode)) {
        navigate(SearchAddress::lyricsSearch(text));
    } else if (ButtonColour::is(m_modeVideos, ActiveMode)) {
        navigate(SearchAddress::videoSearch(text));
    } else {
        // Nothing typed is nothing to open; text that is no address at all is said so.
        if (text.trimmed().isEmpty())
            return;
        const QUrl url = SearchAddress::typedAddress(text);
        if (!url.isValid()) {
            MessageRequest request;
            request.caption = applicationTitle();
            request.text
                = QStringLiteral("Endereço inválido: \"%1\". Confira o texto e tente de novo.").arg(text);
            request.icon = QMessageBox::Warning;
            showMessage(this, request);
            return;
        }
        navigate(url);
    }
}

void BrowserWindow::navigate(const QUrl &url)
{
    ensureView();
    if (m_view == nullptr)
        return;
    m_view->navigate(url);
    m_view->setFocus();
}

#include "about/AboutDialog.h"

#include "about/AboutStyle.h"
#include "about/FaqDialog.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace
{

QLabel *makeLabel(
    const char *name, const QString &text, QWidget *parent, const QRect &place, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place);
    label->setFont(font);
    return label;
}

void paint(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(role, colour);
    widget->setPalette(p);
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Sobre o Lumivortex"));
    setFixedSize(320, 232);
    setModal(true);

    // A white band with the name, as the player's panels are headed.
    auto *band = new QFrame(this);
    band->setObjectName(QStringLiteral("Panel1"));
    band->setGeometry(0, 0, 320, 64);
    band->setAutoFillBackground(true);
    paint(band, QPalette::Window, Qt::white);
    auto *rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setGeometry(0, 64, 320, 2);
    rule->setAutoFillBackground(true);
    paint(rule, QPalette::Window, AboutStyle::Accent);

    QLabel *title = makeLabel(
        "Label1", QStringLiteral("Lumivortex TV"), band, QRect(16, 10, 288, 28), AboutStyle::font(22, true));
    paint(title, QPalette::WindowText, AboutStyle::Accent);
    m_version = makeLabel("Label2", QString(), band, QRect(18, 38, 288, 18), AboutStyle::font(12));
    setVersion(QStringLiteral(LUMI_VERSION));

    makeLabel("Label6", QStringLiteral("TV, rádio e webcams ao vivo pela internet."), this,
        QRect(16, 76, 288, 16), AboutStyle::font(11));

    QFont linkFont = AboutStyle::font(11);
    linkFont.setUnderline(true);
    m_site = makeLabel(
        "Label3", QStringLiteral("Página do Lumivortex"), this, QRect(16, 102, 288, 16), linkFont);
    m_mail = makeLabel("Label4", QStringLiteral("Escreva para nós: ") + AboutLinks::MailAddress, this,
        QRect(16, 122, 288, 16), linkFont);
    m_community = makeLabel(
        "Label5", QStringLiteral("Comunidade Lumivortex"), this, QRect(16, 142, 288, 16), linkFont);
    m_site->setToolTip(AboutLinks::WebPage);
    m_mail->setToolTip(QStringLiteral("mailto:") + AboutLinks::MailAddress);
    m_community->setToolTip(AboutLinks::CommunityPage);
    for (QLabel *link : { m_site, m_mail, m_community }) {
        paint(link, QPalette::WindowText, AboutStyle::Accent);
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }

    auto *faq = new QPushButton(QStringLiteral("F.A.Q."), this);
    faq->setObjectName(QStringLiteral("Button2"));
    faq->setGeometry(16, 188, 89, 27);
    faq->setFont(AboutStyle::font(12));
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(215, 188, 89, 27);
    ok->setFont(AboutStyle::font(12));
    ok->setDefault(true);

    connect(faq, &QPushButton::clicked, this, [this] { showFaq(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutDialog::setVersion(const QString &version)
{
    m_version->setText(QStringLiteral("Versão ") + version);
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_site)
            openWebPage();
        else if (watched == m_mail)
            writeMail();
        else if (watched == m_community)
            openCommunity();
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::openWebPage()
{
    QDesktopServices::openUrl(QUrl(AboutLinks::WebPage));
}

void AboutDialog::writeMail()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + AboutLinks::MailAddress));
}

void AboutDialog::openCommunity()
{
    QDesktopServices::openUrl(QUrl(AboutLinks::CommunityPage));
}

void AboutDialog::showFaq()
{
    if (m_faq == nullptr)
        return;
    m_faq->show();
    m_faq->raise();
    m_faq->activateWindow();
}

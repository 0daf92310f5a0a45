#pragma once

#include <QDialog>

class QLabel;
class FaqDialog;

// Where the About window's links lead.
namespace AboutLinks
{
inline const QString WebPage = QStringLiteral("https://lumivortex.example/");
inline const QString MailAddress = QStringLiteral("contato@lumivortex.example");
inline const QString CommunityPage = QStringLiteral("https://comunidade.lumivortex.example/");
} // namespace AboutLinks

// The About window "Sobre o Lumivortex", shown modally by "Sobre...": the
// version, the site, the mail address, the community, and the F.A.Q.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    void setVersion(const QString &version);
    void setFaqWindow(FaqDialog *faq) { m_faq = faq; }

    void openWebPage();
    void writeMail();
    void openCommunity();
    void showFaq();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FaqDialog *m_faq = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_site = nullptr;
    QLabel *m_mail = nullptr;
    QLabel *m_community = nullptr;
};

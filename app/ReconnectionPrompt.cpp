#include "app/ReconnectionPrompt.h"

#include "widgets/MessageBox.h"

#include <QTabBar>
#include <QWidget>

namespace
{
constexpr int kWebcamsTab = 6;
}

ReconnectionPrompt::ReconnectionPrompt(QWidget &window, const QTabBar &tabs)
    : QObject(&window)
    , m_window(window)
    , m_tabs(tabs)
{
    setObjectName(QStringLiteral("Reconnection"));
}

bool ReconnectionPrompt::mayAskToReconnect() const
{
    return m_tabs.currentIndex() != kWebcamsTab;
}

bool ReconnectionPrompt::askToReconnect()
{
    MessageRequest request;
    request.caption = QStringLiteral("Information");
    request.text = Reconnection::questionText();
    request.icon = QMessageBox::Information;
    request.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    request.defaultButton = QMessageBox::Ok;
    request.escapeButton = QMessageBox::Cancel;
    return showMessage(&m_window, request) == QMessageBox::Ok;
}

void ReconnectionPrompt::tellCertificateRefused()
{
    MessageRequest request;
    request.caption = applicationTitle();
    request.text = Reconnection::certificateRefusedText();
    request.icon = QMessageBox::Warning;
    showMessage(&m_window, request);
}

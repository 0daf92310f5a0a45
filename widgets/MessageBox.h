#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

// Every message box of the main window goes through here, so tests can answer
// them without a modal loop.
struct MessageRequest {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    QMessageBox::StandardButton escapeButton = QMessageBox::Ok;
};

using MessageHandler = std::function<QMessageBox::StandardButton(QWidget *parent, const MessageRequest &)>;

// Shows the box (modal) and returns the button chosen; closing the box counts
// as the escape button.
QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &request);
// The box showMessage shows, not yet shown. Its text is plain and bounded:
// messages quote names, addresses and notes from outside.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, const MessageRequest &request);
// Replaces how boxes are shown; an empty handler restores the real boxes.
void setMessageHandler(MessageHandler handler);

// The application title, used as the caption of plain message boxes.
inline QString applicationTitle()
{
    return QStringLiteral("Lumivortex");
}

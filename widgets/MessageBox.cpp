#include "widgets/MessageBox.h"

#include <QPushButton>

namespace
{
MessageHandler &handler()
{
    static MessageHandler h;
    return h;
}
} // namespace

void setMessageHandler(MessageHandler h)
{
    handler() = std::move(h);
}

QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &request)
{
    if (handler())
        return handler()(parent, request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, parent);
    box.setDefaultButton(request.defaultButton);
    box.setEscapeButton(request.escapeButton);
    const int result = box.exec();
    if (box.clickedButton() == nullptr)
        return request.escapeButton;
    return static_cast<QMessageBox::StandardButton>(result);
}

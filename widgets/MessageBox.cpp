#include "widgets/MessageBox.h"

#include "base/PlainText.h"

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
    const std::unique_ptr<QMessageBox> box = makeMessageBox(parent, request);
    const int result = box->exec();
    if (box->clickedButton() == nullptr)
        return request.escapeButton;
    return static_cast<QMessageBox::StandardButton>(result);
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, const MessageRequest &request)
{
    auto box = std::make_unique<QMessageBox>(request.icon, PlainText::line(request.caption),
        PlainText::text(request.text), request.buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(request.defaultButton);
    box->setEscapeButton(request.escapeButton);
    return box;
}

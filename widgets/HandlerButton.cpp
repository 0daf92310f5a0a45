#include "widgets/HandlerButton.h"

#include "base/SafeCall.h"

QPushButton *handlerButton(
    QWidget *parent, const char *objectName, const QString &caption, std::function<void()> handler)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    QObject::connect(
        button, &QPushButton::clicked, button, [handler = std::move(handler)] { safeCall(handler); });
    return button;
}

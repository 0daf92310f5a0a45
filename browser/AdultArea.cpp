#include "browser/AdultArea.h"

#include "browser/SearchAddress.h"
#include "widgets/MessageBox.h"

#include <QDesktopServices>
#include <QUrl>

void openAdultArea(QWidget *parent)
{
    MessageRequest request;
    request.caption = applicationTitle();
    // Lines end in a carriage return alone, as the warning has always been written.
    request.text = QStringLiteral(
        "Ao entrar nessa area, o Lumivortex abrirá seu Navegador (Browser) e o levará\r"
        "a um site com varias webcams ao vivo.\r"
        "você estará ciente do conteudo adulto que nela encontrará,\r"
        "além de declarar ter 18 anos ou mais e assumir total responsabilidade por possiveis\r"
        "danos ao proprio pudor.");
    showMessage(parent, request);
    QDesktopServices::openUrl(QUrl(SearchAddress::AdultAreaAddress));
}

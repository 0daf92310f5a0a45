#include "widgets/TooltipLook.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QToolTip>

namespace
{
class TooltipStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
        QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 1;
        if (hint == SH_ToolTip_FallAsleepDelay)
            return 10000;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

void installTooltipLook()
{
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, QColor(206, 238, 244));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(palette);
    if (!qobject_cast<QProxyStyle *>(QApplication::style()))
        QApplication::setStyle(new TooltipStyle);
}

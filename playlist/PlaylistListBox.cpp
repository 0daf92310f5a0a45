#include "playlist/PlaylistListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace
{

// Items are 15 pixels high whatever the font says.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return { QStyledItemDelegate::sizeHint(option, index).width(), 15 };
    }
};

} // namespace

PlaylistListBox::PlaylistListBox(QWidget *parent)
    : QListWidget(parent)
{
    setItemDelegate(new FixedRowDelegate(this));
    // One measured row serves them all: a drop of thousands of files lays out at once.
    setUniformItemSizes(true);
}

void PlaylistListBox::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (indexAt(event->position().toPoint()).isValid())
        emit itemClick();
    emit mouseDown();
}

void PlaylistListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit mouseUp();
}

void PlaylistListBox::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    QListWidget::keyPressEvent(event);
}

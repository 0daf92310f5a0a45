#pragma once

#include <QWidget>

// A transparent sibling laid over `target` that follows its place, size and
// visibility. Controls drawn over a widget whose accessible interface lists
// only its own parts (a QTabBar lists its tabs) live here instead of inside
// it, so screen readers reach them. Clicks outside the controls fall through.
class OverlayRow : public QWidget
{
    Q_OBJECT

public:
    explicit OverlayRow(QWidget &target);
    // Call after the controls move, so that only they catch the mouse.
    void refreshMask();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();

    QWidget &m_target;
};

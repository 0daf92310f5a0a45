#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPair>

class GuideGridView;

// What screen readers see of the guide grid: a table whose cells are the
// channel names and programmes in view, each named as the model names it
// ("Globo, 20:30 a 21:15, Jornal Nacional"), the current one focused.
class GuideGridAccessible : public QAccessibleWidget
{
public:
    explicit GuideGridAccessible(GuideGridView *view);
    ~GuideGridAccessible() override;

    // Makes Qt's accessibility ask this class for every GuideGridView.
    static void install();
    // Told by the view: the cells in view changed, or the current one did.
    static void viewChanged(GuideGridView *view);
    static void currentChanged(GuideGridView *view);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *focusChild() const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    GuideGridView *view() const;

private:
    using Cell = QPair<int, int>; // row, programme (-1: the name cell)
    void ensureCells() const;
    QAccessibleInterface *cellInterface(const Cell &cell) const;
    void dropInterfaces() const;

    mutable QVector<Cell> m_cells; // in view, row by row
    mutable QHash<Cell, QAccessible::Id> m_interfaces;
    mutable quint64 m_viewGeneration = ~quint64(0);
    mutable quint64 m_rowsGeneration = ~quint64(0);
};

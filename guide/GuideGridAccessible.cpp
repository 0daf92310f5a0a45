#include "guide/GuideGridAccessible.h"

#include "guide/GuideGridCursor.h"
#include "guide/GuideGridModel.h"
#include "guide/GuideGridView.h"

#include <QPointer>
#include <QWindow>

namespace
{

// One cell of the grid; asks the view for what it shows, so it never outlives its meaning.
class CellAccessible : public QAccessibleInterface
{
public:
    CellAccessible(GuideGridView *view, int row, int programme)
        : m_view(view)
        , m_row(row)
        , m_programme(programme)
    {
    }

    bool isValid() const override
    {
        return m_view && m_row < m_view->model()->channelCount()
            && m_programme < m_view->model()->channel(m_row).schedule.count();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_view.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override
    {
        return m_programme < 0 ? QAccessible::RowHeader : QAccessible::Cell;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        const GuideGridModel *model = m_view->model();
        if (t == QAccessible::Name)
            return m_programme < 0 ? model->channel(m_row).title : model->accessibleName(m_row, m_programme);
        if (t == QAccessible::Description && m_programme >= 0)
            return model->programmeIndex(m_row, m_programme).data(GuideGridModel::DescriptionRole).toString();
        return {};
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = m_view->cellRect(m_row, m_programme);
        return QRect(m_view->viewport()->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        state.selectable = true;
        if (isValid()) {
            const GuideGridCursor *cursor = m_view->cursor();
            const bool current = cursor->row() == m_row && cursor->programme() == m_programme;
            state.focused = current && m_view->hasFocus();
            state.selected = current;
            state.invisible = m_view->cellRect(m_row, m_programme).isEmpty();
        }
        return state;
    }

private:
    QPointer<GuideGridView> m_view;
    int m_row;
    int m_programme;
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("GuideGridView") && object && object->isWidgetType())
        return new GuideGridAccessible(static_cast<GuideGridView *>(object));
    return nullptr;
}

GuideGridAccessible *gridOf(GuideGridView *view)
{
    return static_cast<GuideGridAccessible *>(QAccessible::queryAccessibleInterface(view));
}

} // namespace

GuideGridAccessible::GuideGridAccessible(GuideGridView *view)
    : QAccessibleWidget(view, QAccessible::Table, view->accessibleName())
{
}

GuideGridAccessible::~GuideGridAccessible()
{
    dropInterfaces();
}

void GuideGridAccessible::install()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(factory);
        installed = true;
    }
}

GuideGridView *GuideGridAccessible::view() const
{
    return static_cast<GuideGridView *>(widget());
}

void GuideGridAccessible::dropInterfaces() const
{
    for (const QAccessible::Id id : qAsConst(m_interfaces))
        QAccessible::deleteAccessibleInterface(id);
    m_interfaces.clear();
}

void GuideGridAccessible::ensureCells() const
{
    const GuideGridView *grid = view();
    if (grid->viewGeneration() == m_viewGeneration && grid->rowsGeneration() == m_rowsGeneration)
        return;
    // Other rows behind the same numbers: no interface keeps its old meaning.
    if (grid->rowsGeneration() != m_rowsGeneration)
        dropInterfaces();
    m_viewGeneration = grid->viewGeneration();
    m_rowsGeneration = grid->rowsGeneration();
    m_cells.clear();
    const GuideGridModel *model = grid->model();
    const GuideGridCursor *cursor = grid->cursor();
    const int last = qMin(model->channelCount(), cursor->firstRow() + cursor->visibleRows());
    for (int row = cursor->firstRow(); row < last; ++row) {
        m_cells.append({ row, -1 });
        const GuideSchedule &schedule = model->channel(row).schedule;
        for (int i = schedule.firstEndingAfter(cursor->viewStart());
             i < schedule.count() && schedule.record(i).start < cursor->viewEnd(); ++i)
            m_cells.append({ row, i });
    }
    // Cells gone from view let their interfaces go.
    for (auto it = m_interfaces.begin(); it != m_interfaces.end();) {
        if (m_cells.contains(it.key())) {
            ++it;
            continue;
        }
        QAccessible::deleteAccessibleInterface(*it);
        it = m_interfaces.erase(it);
    }
}

void GuideGridAccessible::viewChanged(GuideGridView *view)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(view, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&event);
}

void GuideGridAccessible::currentChanged(GuideGridView *view)
{
    if (!QAccessible::isActive() || !view->hasFocus())
        return;
    QAccessibleInterface *cell = gridOf(view)->focusChild();
    if (!cell)
        return;
    QAccessibleEvent event(cell, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

int GuideGridAccessible::childCount() const
{
    ensureCells();
    return int(m_cells.size());
}

QAccessibleInterface *GuideGridAccessible::cellInterface(const Cell &cell) const
{
    const auto found = m_interfaces.constFind(cell);
    if (found != m_interfaces.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto *created = new CellAccessible(view(), cell.first, cell.second);
    m_interfaces.insert(cell, QAccessible::registerAccessibleInterface(created));
    return created;
}

QAccessibleInterface *GuideGridAccessible::child(int index) const
{
    ensureCells();
    if (index < 0 || index >= m_cells.size())
        return nullptr;
    return cellInterface(m_cells[index]);
}

int GuideGridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    ensureCells();
    for (int i = 0; i < m_cells.size(); ++i) {
        const auto found = m_interfaces.constFind(m_cells[i]);
        if (found != m_interfaces.constEnd() && QAccessible::accessibleInterface(*found) == child)
            return i;
    }
    return -1;
}

QAccessibleInterface *GuideGridAccessible::focusChild() const
{
    ensureCells();
    const GuideGridCursor *cursor = view()->cursor();
    const Cell current { cursor->row(), cursor->programme() };
    if (current.first < 0 || !m_cells.contains(current))
        return nullptr;
    return cellInterface(current);
}

QAccessibleInterface *GuideGridAccessible::childAt(int x, int y) const
{
    ensureCells();
    int row = 0;
    int programme = 0;
    if (!view()->cellAt(view()->viewport()->mapFromGlobal(QPoint(x, y)), &row, &programme))
        return nullptr;
    const Cell cell { row, programme };
    return m_cells.contains(cell) ? cellInterface(cell) : nullptr;
}

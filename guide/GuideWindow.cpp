#include "guide/GuideWindow.h"

#include "base/SafeCall.h"
#include "guide/GuideGridCursor.h"
#include "guide/GuideGridModel.h"
#include "guide/GuideGridView.h"
#include "guide/ProgrammeDetailsPanel.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace
{
// The now line moves a pixel every ten seconds or so; once a minute is enough.
constexpr int ClockIntervalMs = 60 * 1000;
constexpr int HoursPerStep = 2;
} // namespace

GuideWindow::GuideWindow(GuideGridModel *model, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_model(model)
{
    setObjectName(QStringLiteral("GuideWindow"));
    setWindowTitle(QStringLiteral("Guia de programação"));
    resize(1100, 700);

    m_cursor = new GuideGridCursor(m_model, this);
    m_grid = new GuideGridView(m_model, m_cursor, this);
    m_details = new ProgrammeDetailsPanel(this);

    m_now = new QPushButton(QStringLiteral("Agora"), this);
    m_now->setObjectName(QStringLiteral("GuideNowButton"));
    m_now->setToolTip(QStringLiteral("Volta ao que está passando agora (Home)"));
    m_earlier = new QPushButton(QStringLiteral("◀"), this);
    m_earlier->setObjectName(QStringLiteral("GuideEarlierButton"));
    m_earlier->setAccessibleName(QStringLiteral("Mais cedo"));
    m_earlier->setToolTip(QStringLiteral("%1 horas mais cedo").arg(HoursPerStep));
    m_later = new QPushButton(QStringLiteral("▶"), this);
    m_later->setObjectName(QStringLiteral("GuideLaterButton"));
    m_later->setAccessibleName(QStringLiteral("Mais tarde"));
    m_later->setToolTip(QStringLiteral("%1 horas mais tarde").arg(HoursPerStep));
    m_groups = new QComboBox(this);
    m_groups->setObjectName(QStringLiteral("GuideGroupBox"));
    m_groups->setAccessibleName(QStringLiteral("Grupo"));
    m_groups->setMinimumContentsLength(16);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("GuideSearchEdit"));
    m_search->setAccessibleName(QStringLiteral("Buscar canal"));
    m_search->setPlaceholderText(QStringLiteral("Buscar canal"));
    m_search->setClearButtonEnabled(true);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_earlier);
    bar->addWidget(m_now);
    bar->addWidget(m_later);
    bar->addSpacing(12);
    bar->addWidget(m_groups);
    bar->addWidget(m_search, 1);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("GuideSplitter"));
    split->addWidget(m_grid);
    split->addWidget(m_details);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);
    setTabOrder(m_search, m_grid);

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("GuideClockTimer"));
    m_clock->setInterval(ClockIntervalMs);
    connect(m_clock, &QTimer::timeout, this, [this] { safeCall([this] { tick(); }); });
    connect(m_now, &QPushButton::clicked, this, [this] {
        safeCall([this] {
            tick();
            m_cursor->goToNow();
            m_grid->setFocus();
        });
    });
    connect(m_earlier, &QPushButton::clicked, this,
        [this] { safeCall([this] { m_cursor->scrollTime(-HoursPerStep * 2); }); });
    connect(m_later, &QPushButton::clicked, this,
        [this] { safeCall([this] { m_cursor->scrollTime(HoursPerStep * 2); }); });
    connect(m_groups, &QComboBox::activated, this, [this](int index) {
        safeCall([this, index] { m_model->setGroup(m_groups->itemData(index).toString()); });
    });
    connect(m_search, &QLineEdit::textChanged, this,
        [this](const QString &text) { safeCall([this, &text] { m_model->setSearchText(text); }); });
    connect(m_search, &QLineEdit::returnPressed, m_grid, qOverload<>(&QWidget::setFocus));
    connect(m_grid, &GuideGridView::activated, this,
        [this](const QModelIndex &index) { safeCall([this, &index] { activate(index); }); });
    connect(m_grid, &GuideGridView::detailsRequested, m_details, &ProgrammeDetailsPanel::show);
    connect(m_cursor, &GuideGridCursor::currentChanged, this,
        [this] { safeCall([this] { m_details->show(m_cursor->currentIndex()); }); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { safeCall([this] { showGroups(); }); });
    showGroups();
}

void GuideWindow::showGroups()
{
    const QString current = m_model->group();
    const QSignalBlocker quiet(m_groups);
    m_groups->clear();
    m_groups->addItem(QStringLiteral("Todos os grupos"), QString());
    for (const QString &group : m_model->groups())
        m_groups->addItem(group, group); // a combo box item is plain text
    m_groups->setCurrentIndex(qMax(0, m_groups->findData(current)));
}

void GuideWindow::activate(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    if (!index.data(GuideGridModel::TunableRole).toBool()) {
        m_details->show(index);
        return;
    }
    const QModelIndex channel = index.parent().isValid() ? index.parent() : index;
    emit tuneRequested(m_model->channel(channel.row()).entry);
}

void GuideWindow::tick()
{
    m_model->setNow(QDateTime::currentSecsSinceEpoch());
}

void GuideWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    tick();
    m_cursor->goToNow();
    m_clock->start();
    m_grid->setFocus();
}

void GuideWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_clock->stop();
}

#include "lists/ChannelWindow.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "lists/ChannelPicks.h"
#include "lists/ChannelRowNotes.h"
#include "lists/ChannelSources.h"
#include "lists/ListChannelFilter.h"
#include "lists/ListChannelModel.h"
#include "lists/LogoCache.h"
#include "lists/SourcesDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace
{
enum GroupKind { AllChannels = 1, Favourites, Recents, OneGroup };
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kGroupRole = Qt::UserRole + 2; // the group as the lists name it
constexpr int kRowHeight = 28;
// Results arrive one by one during a check; rows move once they settle.
constexpr int kHealthSettleMs = 1000;

// A small rounded mark after the name ("3 fontes", "fora do ar", a tag); returns its right edge.
int drawMark(QPainter *painter, const QRect &room, const QString &text, const QColor &ink, const QColor &fill)
{
    const QFontMetrics metrics(painter->font());
    const int width = metrics.horizontalAdvance(text) + 8;
    if (room.left() + width > room.right())
        return -1;
    const QRect mark(room.left(), room.center().y() - metrics.height() / 2 - 1, width, metrics.height() + 2);
    painter->setPen(QColor(0x90, 0x98, 0xa8));
    painter->setBrush(fill);
    painter->drawRoundedRect(mark, 4, 4);
    painter->setPen(ink);
    painter->drawText(mark, Qt::AlignCenter, text);
    return mark.right();
}
constexpr int kNotedRowHeight = 44; // room for a line of notes and its bar under the name

// Paints a row: the logo (a placeholder tile until it arrives), the name
// without its tags, the tags as small marks after it, and a star for favourites.
class ChannelRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setLogos(LogoCache *logos) { m_logos = logos; }
    void setNotes(ChannelRowNotes *notes) { m_notes = notes; }
    bool showsNotes() const { return m_notes && m_notes->hasNotes(); }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(),
            showsNotes() ? kNotedRowHeight : kRowHeight);
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
        const QModelIndex &index) override
    {
        if (event->type() == QEvent::ToolTip && showsNotes() && index.isValid()) {
            const ChannelRowNote note = m_notes->noteFor(channelAt(index));
            if (!note.tooltip.isEmpty()) {
                // The name as written stays first, as the tooltip says it without notes.
                const QString name = index.data(ListChannelModel::NameRole).toString();
                QToolTip::showText(event->globalPos(),
                    PlainText::tooltip(name + QStringLiteral(" · ") + note.tooltip), view);
                return true;
            }
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        base.text.clear();
        base.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);

        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        const QColor text = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        QRect r = option.rect.adjusted(4, 3, -4, -3);
        const ChannelRowNote note = showsNotes() ? m_notes->noteFor(channelAt(index)) : ChannelRowNote();
        const QRect logo(r.left(), r.top(), r.height() * 4 / 3, r.height());
        QRect below;
        if (showsNotes()) {
            // The name keeps the upper half; the note and its bar the lower.
            below = QRect(logo.right() + 8, r.center().y() + 1, r.right() - logo.right() - 8,
                r.bottom() - r.center().y());
            r.setBottom(r.center().y());
        }
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xd8, 0xe4, 0xf0));
        painter->drawRoundedRect(logo, 3, 3);
        const QString title = index.data(ListChannelModel::TitleRole).toString();
        // Asking for the logo here is what fetches only the rows being shown.
        const QImage image
            = m_logos ? m_logos->logo(index.data(ListChannelModel::LogoRole).toString()) : QImage();
        if (image.isNull()) {
            painter->setPen(QColor(0x40, 0x50, 0x70));
            painter->drawText(logo, Qt::AlignCenter, title.left(1).toUpper());
        } else {
            QRect fit(QPoint(), image.size().scaled(logo.size(), Qt::KeepAspectRatio));
            fit.moveCenter(logo.center());
            painter->drawImage(fit, image);
        }

        r.setLeft(logo.right() + 8);
        if (index.data(ListChannelModel::FavouriteRole).toBool()) {
            painter->setPen(QColor(0xd0, 0x90, 0x00));
            painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("★"));
            r.setLeft(r.left() + option.fontMetrics.horizontalAdvance(QStringLiteral("★ ")));
        }
        const bool offAir = index.data(ListChannelModel::OffAirRole).toBool();
        painter->setPen(
            offAir && !selected ? option.palette.color(QPalette::Disabled, QPalette::Text) : text);
        const QString shown = option.fontMetrics.elidedText(title, Qt::ElideRight, r.width());
        painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft, shown);
        r.setLeft(r.left() + option.fontMetrics.horizontalAdvance(shown) + 8);

        QFont small = option.font;
        small.setPointSizeF(small.pointSizeF() * 0.8);
        painter->setFont(small);
        const QFontMetrics metrics(small);
        const QColor ink = selected ? text : QColor(0x50, 0x58, 0x68);
        const QColor fill = selected ? QColor(255, 255, 255, 60) : QColor(0xee, 0xf0, 0xf4);
        QStringList marks;
        const int sources = index.data(ListChannelModel::SourceCountRole).toInt();
        if (offAir)
            marks << QStringLiteral("fora do ar");
        if (sources > 1)
            marks << QStringLiteral("%1 fontes").arg(sources);
        else // one source: its own tags say what its list says of it
            marks << index.data(ListChannelModel::TagsRole).toStringList();
        for (int i = 0; i < marks.size(); ++i) {
            const bool warning = offAir && i == 0;
            const int right
                = drawMark(painter, r, marks[i], warning && !selected ? QColor(0xa0, 0x20, 0x20) : ink,
                    warning && !selected ? QColor(0xfb, 0xe4, 0xe4) : fill);
            if (right < 0)
                break;
            r.setLeft(right + 5);
        }
        if (!note.isEmpty()) {
            const QRect line = below.adjusted(0, 0, 0, note.progress >= 0 ? -4 : 0);
            painter->setPen(selected ? text : QColor(0x50, 0x58, 0x68));
            painter->drawText(line, Qt::AlignVCenter | Qt::AlignLeft,
                metrics.elidedText(note.line, Qt::ElideRight, line.width()));
            if (note.progress >= 0) {
                const QRect bar(below.left(), below.bottom() - 2, qMin(160, below.width()), 3);
                painter->setPen(Qt::NoPen);
                painter->setBrush(selected ? QColor(255, 255, 255, 80) : QColor(0xdc, 0xe2, 0xea));
                painter->drawRect(bar);
                painter->setBrush(selected ? QColor(255, 255, 255) : QColor(0x3a, 0x86, 0xd8));
                painter->drawRect(
                    QRect(bar.topLeft(), QSize(int(bar.width() * note.progress + 0.5), bar.height())));
            }
        }
        painter->restore();
    }

private:
    static ListChannel channelAt(const QModelIndex &index)
    {
        // The view shows the filter; the channel is the model's behind it.
        const auto *filter = static_cast<const QSortFilterProxyModel *>(index.model());
        const auto *model = static_cast<const ListChannelModel *>(filter->sourceModel());
        return model->channel(filter->mapToSource(index).row());
    }

    QPointer<LogoCache> m_logos;
    QPointer<ChannelRowNotes> m_notes;
};
} // namespace

ChannelWindow::ChannelWindow(ChannelPicks &picks, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_picks(picks)
{
    setObjectName(QStringLiteral("ChannelWindow"));
    setWindowTitle(QStringLiteral("Canais"));
    resize(720, 520);

    m_model = new ListChannelModel(this);
    m_filter = new ListChannelFilter(this);
    m_filter->setSourceModel(m_model);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("ChannelSearchEdit"));
    m_search->setPlaceholderText(QStringLiteral("Buscar canal"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);

    m_groups = new QListWidget(this);
    m_groups->setObjectName(QStringLiteral("ChannelGroupList"));
    m_groups->setMaximumWidth(200);

    m_channels = new QListView(this);
    m_channels->setObjectName(QStringLiteral("ChannelListView"));
    m_channels->setUniformItemSizes(true);
    m_rows = new ChannelRowDelegate(m_channels);
    m_channels->setItemDelegate(m_rows);
    m_channels->setModel(m_filter);
    m_channels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_channels->installEventFilter(this);

    m_favourite = new QPushButton(QStringLiteral("★ Favorito"), this);
    m_favourite->setObjectName(QStringLiteral("FavouriteButton"));
    m_favourite->setToolTip(QStringLiteral("Marca ou desmarca o canal como favorito"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("ChannelCountLabel"));
    m_onAirOnly = new QCheckBox(QStringLiteral("Só canais no ar"), this);
    m_onAirOnly->setObjectName(QStringLiteral("OnAirOnlyBox"));
    m_onAirOnly->setToolTip(QString::fromUtf8(
        "Esconde os canais que a última verificação achou fora do ar (Listas de canais > Verificar canais)"));

    auto *sourcesItem = new QAction(QString::fromUtf8("Fontes…"), this);
    sourcesItem->setObjectName(QStringLiteral("SourcesItem"));
    connect(
        sourcesItem, &QAction::triggered, this, [this] { safeCall([this] { showSourcesOfSelected(); }); });
    addRowAction(sourcesItem);
    m_healthLater = new QTimer(this);
    m_healthLater->setSingleShot(true);
    m_healthLater->setInterval(kHealthSettleMs);
    connect(m_healthLater, &QTimer::timeout, this, [this] { safeCall([this] { showHealth(); }); });

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(m_onAirOnly);
    bottom->addWidget(m_favourite);
    auto *right = new QVBoxLayout;
    right->addWidget(m_channels, 1);
    right->addLayout(bottom);
    m_columns = new QHBoxLayout;
    m_columns->addWidget(m_groups);
    m_columns->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addLayout(m_columns, 1);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_filter->setSearchText(text);
        showCount();
    });
    connect(m_groups, &QListWidget::currentRowChanged, this, [this] { showScope(); });
    connect(m_onAirOnly, &QCheckBox::toggled, this, [this](bool onAirOnly) {
        m_filter->setOnAirOnly(onAirOnly);
        showCount();
    });
    connect(m_channels, &QListView::doubleClicked, this, [this] { safeCall([this] { tuneSelected(); }); });
    connect(m_channels->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this] { safeCall([this] { emit currentChannelChanged(currentChannel()); }); });
    connect(m_favourite, &QPushButton::clicked, this, [this] { safeCall([this] { toggleFavourite(); }); });
    connect(&m_picks, &ChannelPicks::favouritesChanged, this, [this] {
        m_model->setFavourites(m_picks.favouriteSet());
        if (m_filter->scope() == ListChannelFilter::Scope::Favourites)
            showScope();
    });
    connect(&m_picks, &ChannelPicks::recentsChanged, this, [this] {
        if (m_filter->scope() == ListChannelFilter::Scope::Recents)
            showScope();
    });
    showGroups();
}

void ChannelWindow::setChannels(const ListChannels &channels)
{
    m_model->setChannels(channels);
    m_model->setFavourites(m_picks.favouriteSet());
    showGroups();
}

int ChannelWindow::shownCount() const
{
    return m_filter->rowCount();
}

ListChannel ChannelWindow::shownAt(int row) const
{
    const QModelIndex index = m_filter->mapToSource(m_filter->index(row, 0));
    return index.isValid() ? rankedSources(m_model->channelAt(index.row())).value(0) : ListChannel {};
}

int ChannelWindow::shownRowOf(const QString &address) const
{
    // The row of the channel that has this source, whichever source the row leads with.
    const ListChannels &entries = m_model->channels().entries();
    for (int e = 0; e < entries.size(); ++e) {
        if (entries.field(e, ListChannels::Address) != address)
            continue;
        const int row = m_model->rowOf(m_model->channels().channelOfEntry(e));
        const QModelIndex shown = m_filter->mapFromSource(m_model->index(row));
        if (shown.isValid())
            return shown.row();
    }
    return -1;
}

void ChannelWindow::showGroups()
{
    const QListWidgetItem *before = m_groups->currentItem();
    const QString current = before ? before->data(kGroupRole).toString() : QString();
    const QSignalBlocker quiet(m_groups);
    m_groups->clear();
    QListWidgetItem *found = nullptr;
    auto add = [this, &current, &found](const QString &group, GroupKind kind) {
        // Group names come from the lists.
        auto *item = new QListWidgetItem(PlainText::line(group), m_groups);
        item->setData(kKindRole, int(kind));
        item->setData(kGroupRole, group);
        if (group == current && !found)
            found = item;
        if (kind != OneGroup) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    };
    add(QStringLiteral("Todos"), AllChannels);
    add(QStringLiteral("Favoritos"), Favourites);
    add(QStringLiteral("Recentes"), Recents);
    for (const QString &group : m_model->groups())
        add(group, OneGroup);
    m_groups->setCurrentItem(found ? found : m_groups->item(0));
    showScope();
}

void ChannelWindow::showScope()
{
    const QListWidgetItem *item = m_groups->currentItem();
    switch (item ? item->data(kKindRole).toInt() : AllChannels) {
    case Favourites:
        m_filter->showFavourites(m_picks.favouriteSet());
        break;
    case Recents:
        m_filter->showRecents(m_picks.recents());
        break;
    case OneGroup:
        m_filter->showGroup(item->data(kGroupRole).toString());
        break;
    default:
        m_filter->showAll();
    }
    showCount();
}

void ChannelWindow::showCount()
{
    m_count->setText(QStringLiteral("%1 de %2 canais")
                         .arg(QLocale::system().toString(m_filter->rowCount()),
                             QLocale::system().toString(m_model->rowCount())));
    if (!m_channels->currentIndex().isValid() && m_filter->rowCount() > 0)
        m_channels->setCurrentIndex(m_filter->index(0, 0));
}

void ChannelWindow::setRowNotes(ChannelRowNotes *notes)
{
    static_cast<ChannelRowDelegate *>(m_rows)->setNotes(notes);
    if (!notes)
        return;
    connect(notes, &ChannelRowNotes::notesChanged, this, [this] {
        // Rows grow when the first guide arrives; otherwise only what shows is painted again.
        m_channels->doItemsLayout();
        m_channels->viewport()->update();
    });
    m_channels->doItemsLayout();
}

void ChannelWindow::setDetailPanel(QWidget *panel)
{
    panel->setParent(this);
    panel->setMinimumWidth(280);
    m_columns->addWidget(panel, 1);
    resize(qMax(width(), 1020), height());
    emit currentChannelChanged(currentChannel());
}

void ChannelWindow::addRowAction(QAction *action)
{
    m_channels->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_channels->addAction(action);
}

ListChannel ChannelWindow::currentChannel() const
{
    const QModelIndex index = m_filter->mapToSource(m_channels->currentIndex());
    return index.isValid() ? m_model->channel(index.row()) : ListChannel();
}

void ChannelWindow::setSources(ChannelSources *sources)
{
    if (m_sources)
        disconnect(m_sources, nullptr, this, nullptr);
    m_sources = sources;
    if (!sources)
        return;
    connect(sources, &ChannelSources::channelsChanged, this, [this] {
        // The channel "Fontes…" shows may be numbered otherwise now.
        if (m_sourcesDialog)
            m_sourcesDialog->close();
        m_model->setChannels(m_sources->channels());
        m_model->setHealth(m_sources->health());
        m_model->setFavourites(m_picks.favouriteSet());
        showGroups();
    });
    connect(sources, &ChannelSources::healthChanged, m_healthLater, qOverload<>(&QTimer::start));
    connect(
        &sources->checker(), &SourceChecker::finished, this, [this] { safeCall([this] { showHealth(); }); });
    m_model->setChannels(sources->channels());
    m_model->setHealth(sources->health());
    m_model->setFavourites(m_picks.favouriteSet());
    showGroups();
}

void ChannelWindow::showHealth()
{
    m_healthLater->stop();
    if (!m_sources)
        return;
    const int selected = selectedChannel();
    m_model->setHealth(m_sources->health());
    if (selected >= 0)
        m_channels->setCurrentIndex(m_filter->mapFromSource(m_model->index(m_model->rowOf(selected))));
    showCount();
    if (m_sourcesDialog && m_sourcesDialog->isVisible())
        m_sourcesDialog->setSources(rankedSources(m_sourcesChannel), m_sources->health());
}

int ChannelWindow::selectedChannel() const
{
    const QModelIndex index = m_filter->mapToSource(m_channels->currentIndex());
    return index.isValid() ? m_model->channelAt(index.row()) : -1;
}

QVector<ListChannel> ChannelWindow::rankedSources(int channel) const
{
    if (m_sources)
        return m_sources->rankedSources(channel);
    const MergedChannels &merged = m_model->channels();
    QVector<ListChannel> sources;
    if (channel >= 0 && channel < merged.size())
        for (const int e : SourceRanking::ranked(merged, channel, {}, QString()))
            sources.append(merged.entries().at(e));
    return sources;
}

bool ChannelWindow::tuneSelected()
{
    const QVector<ListChannel> sources = rankedSources(selectedChannel());
    if (sources.isEmpty())
        return false;
    emit tuneRequested(sources.first());
    return true;
}

SourcesDialog *ChannelWindow::showSourcesOfSelected()
{
    const int channel = selectedChannel();
    if (channel < 0)
        return nullptr;
    if (!m_sourcesDialog) {
        m_sourcesDialog = new SourcesDialog(QString(), this);
        connect(m_sourcesDialog, &SourcesDialog::playRequested, this, [this](const ListChannel &source) {
            safeCall([this, &source] {
                // Picked: tried first from now on, and played now.
                if (m_sources)
                    m_sources->moveToTop(m_sourcesChannel, source.address);
                emit tuneRequested(source);
            });
        });
        connect(m_sourcesDialog, &SourcesDialog::moveToTopRequested, this, [this](const ListChannel &source) {
            safeCall([this, &source] {
                if (m_sources)
                    m_sources->moveToTop(m_sourcesChannel, source.address);
                m_sourcesDialog->setSources(rankedSources(m_sourcesChannel),
                    m_sources ? m_sources->health() : QHash<QString, SourceHealth>());
                m_sourcesDialog->selectRow(0);
            });
        });
    }
    const MergedChannels &merged = m_model->channels();
    m_sourcesChannel = channel;
    m_sourcesDialog->setWindowTitle(QStringLiteral("Fontes de ")
        + PlainText::line(merged.entries().field(merged.firstEntry(channel), ListChannels::Title), 80));
    m_sourcesDialog->setSources(
        rankedSources(channel), m_sources ? m_sources->health() : QHash<QString, SourceHealth>());
    m_sourcesDialog->selectRow(0);
    m_sourcesDialog->show();
    m_sourcesDialog->raise();
    return m_sourcesDialog;
}

void ChannelWindow::toggleFavourite()
{
    const QModelIndex index = m_filter->mapToSource(m_channels->currentIndex());
    if (!index.isValid())
        return;
    const QString identity = m_model->identity(index.row());
    if (!index.data(ListChannelModel::FavouriteRole).toBool()) {
        m_picks.setFavourite(identity, true);
        return;
    }
    // Unmarked whichever identity marked it: the channel's own, or one of its
    // entries' from before they were merged. Gathered first: each unmarking
    // may show the channels anew.
    QStringList identities { identity };
    const int channel = m_model->channelAt(index.row());
    const QHash<QString, int> &aliases = m_model->channels().aliases();
    for (auto it = aliases.constBegin(); it != aliases.constEnd(); ++it)
        if (*it == channel)
            identities << it.key();
    for (const QString &each : std::as_const(identities))
        m_picks.setFavourite(each, false);
}

bool ChannelWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            safeCall([this] { tuneSelected(); });
            return true;
        }
        // Arrows in the search field walk the list, so one can type, pick and press Enter.
        if (watched == m_search && (key == Qt::Key_Down || key == Qt::Key_Up)) {
            const int row = m_channels->currentIndex().row() + (key == Qt::Key_Down ? 1 : -1);
            if (row >= 0 && row < m_filter->rowCount())
                m_channels->setCurrentIndex(m_filter->index(row, 0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ChannelWindow::setLogoCache(LogoCache *logos)
{
    static_cast<ChannelRowDelegate *>(m_rows)->setLogos(logos);
    if (logos)
        connect(logos, &LogoCache::logoArrived, this, &ChannelWindow::repaintLogo, Qt::UniqueConnection);
}

void ChannelWindow::repaintLogo(const QString &address)
{
    // Only the rows on screen asked for logos, so only they are looked at.
    const QRect visible = m_channels->viewport()->rect();
    for (QModelIndex index = m_channels->indexAt(visible.topLeft()); index.isValid();
         index = index.siblingAtRow(index.row() + 1)) {
        const QRect row = m_channels->visualRect(index);
        if (!row.intersects(visible))
            break;
        if (index.data(ListChannelModel::LogoRole).toString() == address)
            m_channels->viewport()->update(row);
    }
}

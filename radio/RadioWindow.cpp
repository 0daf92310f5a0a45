#include "radio/RadioWindow.h"

#include "base/SafeCall.h"
#include "lists/ChannelPicks.h"
#include "lists/LogoCache.h"
#include "radio/RadioDirectory.h"
#include "radio/RadioSearchModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace
{
constexpr int kRowHeight = 40;
constexpr int kMaxFacets = 80;
} // namespace

// A row: the station's picture (a placeholder tile with its initial until the
// picture arrives), the name with a star when it is a favourite, and under it
// codec and bitrate, country and tags.
class RadioStationDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setLogos(LogoCache *logos) { m_logos = logos; }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight);
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
        QRect r = option.rect.adjusted(4, 4, -4, -4);
        const QRect tile(r.left(), r.top(), r.height() * 4 / 3, r.height());
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xd8, 0xe4, 0xf0));
        painter->drawRoundedRect(tile, 3, 3);
        const QString name = index.data().toString();
        // Asking here is what fetches the pictures of the rows on screen only.
        const QString favicon = index.data(RadioSearchModel::FaviconRole).toString();
        const QImage image = m_logos && !favicon.isEmpty() ? m_logos->logo(favicon) : QImage();
        if (image.isNull()) {
            painter->setPen(QColor(0x40, 0x50, 0x70));
            painter->drawText(tile, Qt::AlignCenter, name.left(1).toUpper());
        } else {
            QRect fit(QPoint(), image.size().scaled(tile.size(), Qt::KeepAspectRatio));
            fit.moveCenter(tile.center());
            painter->drawImage(fit, image);
        }
        r.setLeft(tile.right() + 8);
        const int half = r.height() / 2;
        QRect top(r.left(), r.top(), r.width(), half);
        if (index.data(RadioSearchModel::FavouriteRole).toBool()) {
            painter->setPen(QColor(0xd0, 0x90, 0x00));
            painter->drawText(top, Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("★"));
            top.setLeft(top.left() + painter->fontMetrics().horizontalAdvance(QStringLiteral("★ ")));
        }
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(text);
        painter->drawText(top, Qt::AlignVCenter | Qt::AlignLeft,
            painter->fontMetrics().elidedText(name, Qt::ElideRight, top.width()));
        QFont small = option.font;
        small.setPointSizeF(small.pointSizeF() * 0.85);
        painter->setFont(small);
        painter->setPen(selected ? text : QColor(0x50, 0x58, 0x68));
        QStringList details;
        for (int role : { int(RadioSearchModel::FormatRole), int(RadioSearchModel::CountryRole),
                 int(RadioSearchModel::TagsRole) }) {
            const QString part = index.data(role).toString();
            if (!part.isEmpty())
                details << part;
        }
        const QRect bottom(r.left(), r.top() + half, r.width(), r.height() - half);
        painter->drawText(bottom, Qt::AlignVCenter | Qt::AlignLeft,
            painter->fontMetrics().elidedText(
                details.join(QStringLiteral(" · ")), Qt::ElideRight, bottom.width()));
        painter->restore();
    }

private:
    QPointer<LogoCache> m_logos;
};

QVector<QPair<QString, QString>> RadioWindow::countries()
{
    return { { QStringLiteral("BR"), QStringLiteral("Brasil") },
        { QString(), QString::fromUtf8("Qualquer país") },
        { QStringLiteral("PT"), QStringLiteral("Portugal") },
        { QStringLiteral("AR"), QStringLiteral("Argentina") },
        { QStringLiteral("US"), QStringLiteral("Estados Unidos") },
        { QStringLiteral("GB"), QStringLiteral("Reino Unido") },
        { QStringLiteral("DE"), QStringLiteral("Alemanha") },
        { QStringLiteral("FR"), QStringLiteral("França") },
        { QStringLiteral("ES"), QStringLiteral("Espanha") },
        { QStringLiteral("IT"), QStringLiteral("Itália") },
        { QStringLiteral("MX"), QStringLiteral("México") },
        { QStringLiteral("CA"), QStringLiteral("Canadá") },
        { QStringLiteral("JP"), QStringLiteral("Japão") } };
}

RadioWindow::RadioWindow(RadioDirectory &directory, ChannelPicks &picks, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_directory(directory)
    , m_picks(picks)
{
    setObjectName(QStringLiteral("RadioWindow"));
    setWindowTitle(QString::fromUtf8("Rádios"));
    resize(560, 520);
    auto *layout = new QVBoxLayout(this);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("RadioSearch"));
    m_search->setPlaceholderText(QString::fromUtf8("Buscar rádio pelo nome"));
    m_search->setAccessibleName(QString::fromUtf8("Buscar rádio"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    layout->addWidget(m_search);

    auto *filters = new QHBoxLayout;
    m_country = new QComboBox(this);
    m_country->setObjectName(QStringLiteral("RadioCountry"));
    m_country->setAccessibleName(QString::fromUtf8("País"));
    for (const auto &[code, name] : countries())
        m_country->addItem(name, code);
    m_genre = new QComboBox(this);
    m_genre->setObjectName(QStringLiteral("RadioGenre"));
    m_genre->setAccessibleName(QString::fromUtf8("Gênero"));
    m_genre->addItem(QString::fromUtf8("Qualquer gênero"), QString());
    m_language = new QComboBox(this);
    m_language->setObjectName(QStringLiteral("RadioLanguage"));
    m_language->setAccessibleName(QString::fromUtf8("Idioma"));
    m_language->addItem(QString::fromUtf8("Qualquer idioma"), QString());
    for (QComboBox *box : { m_country, m_genre, m_language })
        filters->addWidget(box, 1);
    layout->addLayout(filters);

    m_stations = new QListView(this);
    m_stations->setObjectName(QStringLiteral("RadioStations"));
    m_stations->setAccessibleName(QString::fromUtf8("Rádios encontradas"));
    m_stations->setModel(&m_directory.results());
    m_rows = new RadioStationDelegate(m_stations);
    m_stations->setItemDelegate(m_rows);
    m_stations->setUniformItemSizes(true);
    m_stations->setSelectionMode(QAbstractItemView::SingleSelection);
    m_stations->installEventFilter(this);
    layout->addWidget(m_stations, 1);

    auto *buttons = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("RadioStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    buttons->addWidget(m_status, 1);
    m_favourite = new QPushButton(QString::fromUtf8("★ Favorito"), this);
    m_favourite->setObjectName(QStringLiteral("RadioFavouriteButton"));
    m_favourite->setCheckable(true);
    m_play = new QPushButton(QString::fromUtf8("Ouvir"), this);
    m_play->setObjectName(QStringLiteral("RadioPlayButton"));
    buttons->addWidget(m_favourite);
    buttons->addWidget(m_play);
    layout->addLayout(buttons);

    m_builtInSearch
        = new QCheckBox(QString::fromUtf8("Buscar as rádios do programa na base pública de rádios"), this);
    m_builtInSearch->setObjectName(QStringLiteral("RadioBuiltInSearch"));
    layout->addWidget(m_builtInSearch);

    connect(m_search, &QLineEdit::textChanged, this,
        [this](const QString &typed) { safeCall([&] { m_directory.setName(typed); }); });
    auto onChoice = [this](QComboBox *box, void (RadioDirectory::*set)(const QString &)) {
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this, box, set] { safeCall([&] { (m_directory.*set)(box->currentData().toString()); }); });
    };
    onChoice(m_country, &RadioDirectory::setCountry);
    onChoice(m_genre, &RadioDirectory::setTag);
    onChoice(m_language, &RadioDirectory::setLanguage);
    connect(&m_directory, &RadioDirectory::statusChanged, m_status, &QLabel::setText);
    m_status->setText(m_directory.status());
    connect(m_stations, &QListView::activated, this, [this] { safeCall([this] { playSelected(); }); });
    connect(m_play, &QPushButton::clicked, this, [this] { safeCall([this] { playSelected(); }); });
    connect(m_favourite, &QPushButton::clicked, this, [this] { safeCall([this] { toggleFavourite(); }); });
    connect(m_stations->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this] { showSelection(); });
    connect(&m_directory.results(), &QAbstractItemModel::modelReset, this, [this] { showSelection(); });
    connect(&m_picks, &ChannelPicks::favouritesChanged, this, [this] { showFavouriteMarks(); });
    connect(m_builtInSearch, &QCheckBox::toggled, this, &RadioWindow::builtInSearchChosen);
    showFavouriteMarks();
    showSelection();
}

void RadioWindow::setLogoCache(LogoCache *logos)
{
    m_rows->setLogos(logos);
    if (logos)
        connect(logos, &LogoCache::logoArrived, m_stations->viewport(), qOverload<>(&QWidget::update),
            Qt::UniqueConnection);
}

void RadioWindow::setFacets(RadioBrowserClient::Facet facet, const RadioFacets &facets)
{
    QComboBox *box = facet == RadioBrowserClient::Facet::Tags ? m_genre
        : facet == RadioBrowserClient::Facet::Languages       ? m_language
                                                              : nullptr;
    if (!box)
        return;
    const QString chosen = box->currentData().toString();
    const QSignalBlocker quiet(box);
    while (box->count() > 1)
        box->removeItem(1);
    for (const RadioFacet &f : facets.mid(0, kMaxFacets))
        box->addItem(f.name, f.name);
    box->setCurrentIndex(std::max(0, box->findData(chosen)));
}

void RadioWindow::setBuiltInSearchChosen(bool chosen)
{
    const QSignalBlocker quiet(m_builtInSearch);
    m_builtInSearch->setChecked(chosen);
}

int RadioWindow::shownCount() const
{
    return m_directory.results().rowCount();
}

const RadioStation *RadioWindow::selectedStation() const
{
    return m_directory.results().station(m_stations->currentIndex().row());
}

bool RadioWindow::playSelected()
{
    const RadioStation *station = selectedStation();
    if (!station)
        return false;
    emit playRequested(*station);
    return true;
}

void RadioWindow::toggleFavourite()
{
    const RadioStation *station = selectedStation();
    if (!station)
        return;
    const RadioStation chosen = *station;
    const QString identity = RadioDirectory::identityOf(chosen);
    const bool favourite = !m_picks.isFavourite(identity);
    // Told first, so the station is kept before "Canais" hears of the mark.
    emit favouriteToggled(chosen, favourite);
    m_picks.setFavourite(identity, favourite);
}

void RadioWindow::showFavouriteMarks()
{
    QSet<QString> uuids;
    const QString prefix = QStringLiteral("id:radio:");
    for (const QString &identity : m_picks.favourites())
        if (identity.startsWith(prefix))
            uuids << identity.mid(prefix.size());
    m_directory.results().setFavourites(uuids);
    showSelection();
}

void RadioWindow::showSelection()
{
    const RadioStation *station = selectedStation();
    m_favourite->setEnabled(station);
    m_play->setEnabled(station);
    const QSignalBlocker quiet(m_favourite);
    m_favourite->setChecked(station && m_picks.isFavourite(RadioDirectory::identityOf(*station)));
}

bool RadioWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_search
        && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        if (shownCount() == 0)
            return false;
        if (!m_stations->currentIndex().isValid())
            m_stations->setCurrentIndex(m_directory.results().index(0));
        if (key->key() == Qt::Key_Down) {
            m_stations->setFocus();
            return true;
        }
        safeCall([this] { playSelected(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

#include "guide/GuideSourcesPanel.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "guide/GuideFeed.h"
#include "guide/GuideRegistry.h"
#include "widgets/Dialogs.h"
#include "widgets/HandlerButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
enum Column {
    NameColumn,
    AddressColumn,
    ChannelsColumn,
    ProgrammesColumn,
    RangeColumn,
    RefreshColumn,
    ErrorColumn
};
constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kBusyTickMs = 1000;
} // namespace

GuideSourcesPanel::GuideSourcesPanel(
    GuideRegistry &registry, GuideFeed &feed, const QVector<SuggestedList> &suggested, QWidget *parent)
    : QGroupBox(QStringLiteral("Guias de programação"), parent)
    , m_registry(registry)
    , m_feed(feed)
    , m_suggested(suggested)
{
    setObjectName(QStringLiteral("GuideSourcesBox"));

    m_guides = new QTreeWidget(this);
    m_guides->setObjectName(QStringLiteral("GuideSourcesTable"));
    m_guides->setAccessibleName(QStringLiteral("Guias de programação"));
    m_guides->setRootIsDecorated(false);
    m_guides->setHeaderLabels({ QStringLiteral("Nome"), QStringLiteral("Endereço ou arquivo"),
        QStringLiteral("Canais"), QStringLiteral("Programas"), QStringLiteral("Período"),
        QStringLiteral("Atualizado"), QStringLiteral("Último erro") });
    m_guides->header()->setSectionResizeMode(AddressColumn, QHeaderView::Stretch);
    m_guides->header()->setStretchLastSection(false);
    m_guides->setMinimumHeight(7 * m_guides->fontMetrics().height()); // a few guides even on a small screen
    connect(m_guides, &QTreeWidget::currentItemChanged, this, &GuideSourcesPanel::showSelected);

    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("GuideAddressEdit"));
    m_address->setAccessibleName(QStringLiteral("Endereço do guia"));
    m_address->setPlaceholderText(QStringLiteral("Endereço do guia XMLTV (http:// ou https://)"));
    auto button = [this](const char *name, const QString &caption, void (GuideSourcesPanel::*handler)()) {
        return handlerButton(this, name, caption, [this, handler] { (this->*handler)(); });
    };
    QPushButton *add
        = button("AddGuideButton", QStringLiteral("Adicionar"), &GuideSourcesPanel::addByAddress);
    connect(m_address, &QLineEdit::returnPressed, add, &QPushButton::click);
    QPushButton *addFile
        = button("AddGuideFileButton", QStringLiteral("Escolher arquivo…"), &GuideSourcesPanel::addFile);
    QPushButton *rename
        = button("RenameGuideButton", QStringLiteral("Renomear"), &GuideSourcesPanel::renameSelected);
    QPushButton *refresh = button(
        "RefreshGuideButton", QStringLiteral("Atualizar agora"), &GuideSourcesPanel::refreshSelected);
    QPushButton *remove
        = button("RemoveGuideButton", QStringLiteral("Remover"), &GuideSourcesPanel::removeSelected);

    auto *offsetLabel = new QLabel(QStringLiteral("Ajuste de horário:"), this);
    m_offset = new QSpinBox(this);
    m_offset->setObjectName(QStringLiteral("GuideOffsetBox"));
    m_offset->setAccessibleName(QStringLiteral("Ajuste de horário em horas"));
    m_offset->setToolTip(QStringLiteral("Para guias com os horários errados: horas somadas a todos os "
                                        "horários do guia selecionado."));
    m_offset->setRange(-GuideRegistry::MaxOffsetHours, GuideRegistry::MaxOffsetHours);
    m_offset->setSuffix(QStringLiteral(" h"));
    offsetLabel->setBuddy(m_offset);
    // Only the user's change is written: showing another guide's offset is not one.
    connect(m_offset, &QSpinBox::valueChanged, this, [this](int hours) {
        if (m_offset->hasFocus())
            safeCall([this, hours] { setSelectedOffset(hours); });
    });
    connect(m_offset, &QSpinBox::editingFinished, this,
        [this] { safeCall([this] { setSelectedOffset(m_offset->value()); }); });

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("GuideMessageLabel"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);

    auto *suggestedLabel = new QLabel(QStringLiteral("Guias sugeridos:"), this);
    m_suggestions = new QComboBox(this);
    m_suggestions->setObjectName(QStringLiteral("SuggestedGuidesBox"));
    m_suggestions->setAccessibleName(QStringLiteral("Guias sugeridos"));
    suggestedLabel->setBuddy(m_suggestions);
    m_addSuggested
        = button("AddSuggestedGuideButton", QStringLiteral("Adicionar"), &GuideSourcesPanel::addSuggested);
    m_addSuggested->setAccessibleName(QStringLiteral("Adicionar guia sugerido"));

    auto *addRow = new QHBoxLayout;
    addRow->addWidget(m_address, 1);
    addRow->addWidget(add);
    addRow->addWidget(addFile);
    auto *guideButtons = new QHBoxLayout;
    guideButtons->addWidget(rename);
    guideButtons->addWidget(refresh);
    guideButtons->addWidget(remove);
    guideButtons->addStretch();
    guideButtons->addWidget(offsetLabel);
    guideButtons->addWidget(m_offset);
    auto *suggestedRow = new QHBoxLayout;
    suggestedRow->addWidget(suggestedLabel);
    suggestedRow->addWidget(m_suggestions, 1);
    suggestedRow->addWidget(m_addSuggested);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(addRow);
    layout->addWidget(m_message);
    layout->addWidget(m_guides, 1);
    layout->addLayout(guideButtons);
    layout->addLayout(suggestedRow);

    m_busyTick.setInterval(kBusyTickMs);
    connect(&m_busyTick, &QTimer::timeout, this, &GuideSourcesPanel::showGuides);
    connect(&m_registry, &GuideRegistry::guidesChanged, this, [this] {
        showGuides();
        showSuggestions();
    });
    connect(&m_registry, &GuideRegistry::guideStateChanged, this, &GuideSourcesPanel::showGuides);
    connect(&m_feed, &GuideFeed::busyChanged, this, &GuideSourcesPanel::showGuides);
    showGuides();
    showSuggestions();
}

// Wide enough for the address beside the counts and the time covered.
QSize GuideSourcesPanel::sizeHint() const
{
    return QGroupBox::sizeHint().expandedTo(QSize(940, 260));
}

QString GuideSourcesPanel::rangeText(const QDateTime &first, const QDateTime &last)
{
    if (!first.isValid() || !last.isValid())
        return QStringLiteral("—");
    const QString format = QStringLiteral("dd/MM HH:mm");
    return first.toLocalTime().toString(format) + QStringLiteral(" a ") + last.toLocalTime().toString(format);
}

void GuideSourcesPanel::showGuides()
{
    const QString selected = selectedId();
    m_guides->clear();
    const QLocale locale = QLocale::system();
    bool anyBusy = false;
    for (const GuideSourceEntry &guide : m_registry.guides()) {
        auto *item = new QTreeWidgetItem(m_guides);
        item->setData(NameColumn, kIdRole, guide.id);
        // Names and addresses may come from a list's header, errors quote servers.
        item->setText(NameColumn, PlainText::line(guide.name, GuideRegistry::MaxNameLength));
        item->setText(AddressColumn, PlainText::line(guide.address));
        item->setToolTip(AddressColumn,
            PlainText::tooltip(guide.addedByUser || guide.lists.isEmpty()
                    ? guide.address
                    : guide.address + QStringLiteral(" (do cabeçalho de uma lista de canais)"),
                PlainText::maxTextChars));
        item->setText(ChannelsColumn, locale.toString(guide.channelCount));
        item->setText(ProgrammesColumn, locale.toString(guide.programmeCount));
        item->setText(RangeColumn, rangeText(guide.firstStart, guide.lastStop));
        QString refreshed = guide.lastRefresh.isValid()
            ? locale.toString(guide.lastRefresh.toLocalTime(), QLocale::ShortFormat)
            : QStringLiteral("nunca");
        if (m_feed.isBusy(guide.id)) {
            anyBusy = true;
            const qint64 received = m_feed.bytesReceived(guide.id);
            refreshed = received > 0
                ? QStringLiteral("baixando… %1").arg(locale.formattedDataSize(received, 1))
                : QStringLiteral("atualizando…");
        }
        item->setText(RefreshColumn, refreshed);
        item->setText(ErrorColumn, PlainText::line(guide.lastError));
        item->setToolTip(ErrorColumn, PlainText::tooltip(guide.lastError, PlainText::maxTextChars));
        if (guide.id == selected)
            m_guides->setCurrentItem(item);
    }
    if (!m_guides->currentItem() && m_guides->topLevelItemCount() > 0)
        m_guides->setCurrentItem(m_guides->topLevelItem(0));
    for (int c = NameColumn; c <= RefreshColumn; ++c)
        if (c != AddressColumn)
            m_guides->resizeColumnToContents(c);
    if (anyBusy && !m_busyTick.isActive())
        m_busyTick.start();
    else if (!anyBusy)
        m_busyTick.stop();
    showSelected();
}

void GuideSourcesPanel::showSelected()
{
    const QString id = selectedId();
    m_offset->setEnabled(!id.isEmpty());
    if (!m_offset->hasFocus())
        m_offset->setValue(id.isEmpty() ? 0 : m_registry.guide(id).offsetHours);
}

void GuideSourcesPanel::showSuggestions()
{
    QStringList kept;
    for (const GuideSourceEntry &guide : m_registry.guides())
        kept << guide.address;
    m_suggestions->clear();
    for (const SuggestedList &suggestion : std::as_const(m_suggested)) {
        if (kept.contains(suggestion.address))
            continue;
        m_suggestions->addItem(PlainText::line(suggestion.name), suggestion.address);
        m_suggestions->setItemData(
            m_suggestions->count() - 1, PlainText::tooltip(suggestion.address), Qt::ToolTipRole);
    }
    m_suggestions->setEnabled(m_suggestions->count() > 0);
    m_addSuggested->setEnabled(m_suggestions->count() > 0);
}

QString GuideSourcesPanel::selectedId() const
{
    const QTreeWidgetItem *item = m_guides->currentItem();
    return item ? item->data(NameColumn, kIdRole).toString() : QString();
}

void GuideSourcesPanel::report(const QString &error)
{
    m_message->setText(PlainText::text(error));
}

void GuideSourcesPanel::addByAddress()
{
    QString error;
    if (m_registry.add(QString(), m_address->text().trimmed(), 0, &error).isEmpty()) {
        report(error);
        return;
    }
    report(QString());
    m_address->clear();
}

void GuideSourcesPanel::addFile()
{
    FileRequest request;
    request.caption = QStringLiteral("Escolher guia de programação");
    request.nameFilters = QStringList { QStringLiteral("Guias XMLTV (*.xml *.xml.gz *.xml.xz *.gz *.xz)"),
        QStringLiteral("Todos os arquivos (*)") };
    const QString path = askForFile(this, request);
    if (path.isEmpty())
        return;
    QString error;
    report(m_registry.add(QString(), path, 0, &error).isEmpty() ? error : QString());
}

void GuideSourcesPanel::addSuggested()
{
    const int index = m_suggestions->currentIndex();
    if (index < 0)
        return;
    QString error;
    const QString name = m_suggestions->itemText(index);
    const QString address = m_suggestions->itemData(index).toString();
    report(m_registry.add(name, address, 0, &error).isEmpty() ? error : QString());
}

void GuideSourcesPanel::renameSelected()
{
    const QString id = selectedId();
    if (id.isEmpty())
        return;
    const QString name = askForText(
        this, { QStringLiteral("Renomear guia"), QStringLiteral("Nome:"), m_registry.guide(id).name });
    if (name.isEmpty())
        return;
    QString error;
    report(m_registry.rename(id, name, &error) ? QString() : error);
}

void GuideSourcesPanel::refreshSelected()
{
    const QString id = selectedId();
    if (id.isEmpty())
        return;
    if (m_feed.isBusy(id)) {
        report(QStringLiteral("Este guia já está sendo atualizado."));
        return;
    }
    report(QString());
    m_feed.refresh(id);
    showGuides();
}

void GuideSourcesPanel::removeSelected()
{
    const QString id = selectedId();
    if (id.isEmpty())
        return;
    QString error;
    report(m_registry.remove(id, &error) ? QString() : error);
}

void GuideSourcesPanel::setSelectedOffset(int hours)
{
    const QString id = selectedId();
    if (!id.isEmpty())
        m_registry.setOffset(id, hours);
}

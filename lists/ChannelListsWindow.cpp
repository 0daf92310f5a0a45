#include "lists/ChannelListsWindow.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "widgets/Dialogs.h"
#include "widgets/HandlerButton.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
enum Column { NameColumn, AddressColumn, CountColumn, RefreshColumn, ErrorColumn };
constexpr int kIdRole = Qt::UserRole + 1;
} // namespace

ChannelListsWindow::ChannelListsWindow(ChannelListRegistry &registry, ChannelListLibrary &library,
    const QVector<SuggestedList> &suggested, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_registry(registry)
    , m_library(library)
    , m_suggested(suggested)
{
    setObjectName(QStringLiteral("ChannelListsWindow"));
    setWindowTitle(QStringLiteral("Listas de canais"));
    resize(760, 520);

    m_lists = new QTreeWidget(this);
    m_lists->setObjectName(QStringLiteral("ChannelListsTable"));
    m_lists->setRootIsDecorated(false);
    m_lists->setHeaderLabels({ QStringLiteral("Nome"), QStringLiteral("Endereço ou arquivo"),
        QStringLiteral("Canais"), QStringLiteral("Atualizada"), QStringLiteral("Último erro") });
    m_lists->header()->setSectionResizeMode(AddressColumn, QHeaderView::Stretch);
    m_lists->header()->setStretchLastSection(false);

    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("ListAddressEdit"));
    m_address->setPlaceholderText(QStringLiteral("Endereço da lista (http:// ou https://)"));
    auto button = [this](const char *name, const QString &caption, void (ChannelListsWindow::*handler)()) {
        return handlerButton(this, name, caption, [this, handler] { (this->*handler)(); });
    };
    QPushButton *add
        = button("AddListButton", QStringLiteral("Adicionar"), &ChannelListsWindow::addByAddress);
    connect(m_address, &QLineEdit::returnPressed, add, &QPushButton::click);
    QPushButton *addFile
        = button("AddListFileButton", QStringLiteral("Escolher arquivo…"), &ChannelListsWindow::addFile);
    QPushButton *rename
        = button("RenameListButton", QStringLiteral("Renomear"), &ChannelListsWindow::renameSelected);
    QPushButton *refresh = button(
        "RefreshListButton", QStringLiteral("Atualizar agora"), &ChannelListsWindow::refreshSelected);
    QPushButton *remove
        = button("RemoveListButton", QStringLiteral("Remover"), &ChannelListsWindow::removeSelected);

    m_acceptInvalid = new QCheckBox(QStringLiteral("aceitar certificados inválidos"), this);
    m_acceptInvalid->setObjectName(QStringLiteral("AcceptInvalidCertificatesBox"));
    m_acceptInvalid->setToolTip(QStringLiteral(
        "As transmissões desta lista tocam mesmo quando o certificado de segurança do servidor não é "
        "válido. Marque só se o seu provedor usa um certificado com defeito e você confia nele."));
    // clicked, not toggled: showing another list's choice must not write it.
    connect(m_acceptInvalid, &QCheckBox::clicked, this,
        [this](bool accept) { safeCall([this, accept] { setAcceptInvalidCertificates(accept); }); });
    connect(m_lists, &QTreeWidget::currentItemChanged, this, &ChannelListsWindow::showCertificateChoice);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("ListMessageLabel"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);

    m_coverage = new QLabel(this);
    m_coverage->setObjectName(QStringLiteral("BuiltInCoverageLabel"));
    m_coverage->setTextFormat(Qt::PlainText);
    m_showCovered = new QPushButton(QStringLiteral("Ver quais"), this);
    m_showCovered->setObjectName(QStringLiteral("ShowCoveredChannelsButton"));
    m_showCovered->setCheckable(true);
    m_covered = new QListWidget(this);
    m_covered->setObjectName(QStringLiteral("CoveredChannelsList"));
    m_covered->hide();
    connect(m_showCovered, &QPushButton::toggled, m_covered, &QWidget::setVisible);

    auto *suggestedBox = m_suggestedBox = new QGroupBox(QStringLiteral("Listas sugeridas"), this);
    suggestedBox->setObjectName(QStringLiteral("SuggestedListsBox"));
    auto *suggestedNote = new QLabel(QStringLiteral("Listas públicas mantidas por projetos voluntários, com "
                                                    "transmissões que as emissoras publicam abertamente. O "
                                                    "programa não hospeda nada; os canais vêm e vão."),
        suggestedBox);
    suggestedNote->setWordWrap(true);
    m_suggestions = new QListWidget(suggestedBox);
    m_suggestions->setObjectName(QStringLiteral("SuggestedListsList"));
    m_suggestions->setMaximumHeight(90);
    auto *addSuggested = new QPushButton(QStringLiteral("Adicionar as marcadas"), suggestedBox);
    addSuggested->setObjectName(QStringLiteral("AddSuggestedListsButton"));
    connect(
        addSuggested, &QPushButton::clicked, this, [this] { safeCall([this] { addCheckedSuggestions(); }); });
    auto *suggestedLayout = new QVBoxLayout(suggestedBox);
    suggestedLayout->addWidget(suggestedNote);
    suggestedLayout->addWidget(m_suggestions);
    suggestedLayout->addWidget(addSuggested, 0, Qt::AlignRight);
    suggestedBox->setVisible(!m_suggested.isEmpty());

    auto *addRow = new QHBoxLayout;
    addRow->addWidget(m_address, 1);
    addRow->addWidget(add);
    addRow->addWidget(addFile);
    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(rename);
    listButtons->addWidget(refresh);
    listButtons->addWidget(remove);
    listButtons->addStretch();
    listButtons->addWidget(m_acceptInvalid);
    auto *coverageRow = new QHBoxLayout;
    coverageRow->addWidget(m_coverage, 1);
    coverageRow->addWidget(m_showCovered);
    auto *layout = m_layout = new QVBoxLayout(this);
    layout->addLayout(addRow);
    layout->addWidget(m_message);
    layout->addWidget(m_lists, 2);
    layout->addLayout(listButtons);
    layout->addLayout(coverageRow);
    layout->addWidget(m_covered, 1);
    layout->addWidget(suggestedBox);

    connect(&m_registry, &ChannelListRegistry::listsChanged, this, [this] {
        showLists();
        showSuggestions();
    });
    connect(&m_registry, &ChannelListRegistry::listStateChanged, this, &ChannelListsWindow::showLists);
    connect(&m_library, &ChannelListLibrary::busyChanged, this, &ChannelListsWindow::showLists);
    showLists();
    showSuggestions();
    const qsizetype ignored = m_registry.ignoredIds().size();
    if (ignored == 1)
        report(
            QString::fromUtf8("Uma lista de channel-lists.ini ficou de fora: o identificador dela não tem a "
                              "forma que o programa grava (list1, list2…)."));
    else if (ignored > 1)
        report(
            QString::fromUtf8("%1 listas de channel-lists.ini ficaram de fora: os identificadores delas não "
                              "têm a forma que o programa grava (list1, list2…).")
                .arg(ignored));
}

void ChannelListsWindow::addPart(QWidget *part, int stretch)
{
    part->setParent(this);
    m_layout->insertWidget(m_layout->indexOf(m_suggestedBox), part, stretch);
    const QSize wanted(qMax(width(), part->sizeHint().width()), height() + part->sizeHint().height());
    const QScreen *shown = screen();
    resize(shown ? wanted.boundedTo(shown->availableSize() - QSize(40, 60)) : wanted);
}

void ChannelListsWindow::setCoverage(const QString &text, const QStringList &channelNames)
{
    m_coverage->setText(text);
    m_covered->clear();
    m_covered->addItems(channelNames);
}

void ChannelListsWindow::showLists()
{
    const QString selected = selectedId();
    m_lists->clear();
    const QLocale locale = QLocale::system();
    for (const ChannelListSource &list : m_registry.lists()) {
        auto *item = new QTreeWidgetItem(m_lists);
        item->setData(NameColumn, kIdRole, list.id);
        // The file may have been edited by hand, and errors quote servers.
        item->setText(NameColumn, PlainText::line(list.name, ChannelListRegistry::MaxNameLength));
        item->setText(AddressColumn, PlainText::line(list.address));
        item->setToolTip(AddressColumn, PlainText::tooltip(list.address, PlainText::maxTextChars));
        item->setText(CountColumn, locale.toString(list.channelCount));
        QString refreshed = list.lastRefresh.isValid()
            ? locale.toString(list.lastRefresh.toLocalTime(), QLocale::ShortFormat)
            : QStringLiteral("nunca");
        if (m_library.isBusy(list.id))
            refreshed = QStringLiteral("atualizando…");
        item->setText(RefreshColumn, refreshed);
        item->setText(ErrorColumn, PlainText::line(list.lastError));
        item->setToolTip(ErrorColumn, PlainText::tooltip(list.lastError, PlainText::maxTextChars));
        if (list.id == selected)
            m_lists->setCurrentItem(item);
    }
    if (!m_lists->currentItem() && m_lists->topLevelItemCount() > 0)
        m_lists->setCurrentItem(m_lists->topLevelItem(0));
    for (int c = NameColumn; c <= RefreshColumn; ++c)
        if (c != AddressColumn)
            m_lists->resizeColumnToContents(c);
    showCertificateChoice();
}

void ChannelListsWindow::showCertificateChoice()
{
    const QString id = selectedId();
    m_acceptInvalid->setEnabled(!id.isEmpty());
    m_acceptInvalid->setChecked(!id.isEmpty() && m_registry.list(id).acceptInvalidCertificates);
}

void ChannelListsWindow::setAcceptInvalidCertificates(bool accept)
{
    const QString id = selectedId();
    if (!id.isEmpty())
        m_registry.setAcceptInvalidCertificates(id, accept);
    showCertificateChoice();
}

void ChannelListsWindow::showSuggestions()
{
    QStringList kept;
    for (const ChannelListSource &list : m_registry.lists())
        kept << list.address;
    m_suggestions->clear();
    for (const SuggestedList &suggestion : std::as_const(m_suggested)) {
        if (kept.contains(suggestion.address))
            continue;
        auto *item = new QListWidgetItem(PlainText::line(suggestion.name), m_suggestions);
        item->setToolTip(PlainText::tooltip(suggestion.address));
        item->setData(Qt::UserRole, suggestion.address);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

QString ChannelListsWindow::selectedId() const
{
    const QTreeWidgetItem *item = m_lists->currentItem();
    return item ? item->data(NameColumn, kIdRole).toString() : QString();
}

void ChannelListsWindow::report(const QString &error)
{
    // Errors quote what was typed and what servers said.
    m_message->setText(PlainText::text(error));
}

void ChannelListsWindow::addByAddress()
{
    QString error;
    if (m_registry.add(QString(), m_address->text().trimmed(), &error).isEmpty()) {
        report(error);
        return;
    }
    report(QString());
    m_address->clear();
}

void ChannelListsWindow::addFile()
{
    FileRequest request;
    request.caption = QStringLiteral("Escolher lista de canais");
    request.nameFilters = QStringList { QStringLiteral("Listas M3U (*.m3u *.m3u8)"),
        QStringLiteral("Todos os arquivos (*)") };
    const QString path = askForFile(this, request);
    if (path.isEmpty())
        return;
    QString error;
    report(m_registry.add(QString(), path, &error).isEmpty() ? error : QString());
}

void ChannelListsWindow::renameSelected()
{
    const QString id = selectedId();
    if (id.isEmpty())
        return;
    const QString name = askForText(
        this, { QStringLiteral("Renomear lista"), QStringLiteral("Nome:"), m_registry.list(id).name });
    if (name.isEmpty())
        return;
    QString error;
    report(m_registry.rename(id, name, &error) ? QString() : error);
}

void ChannelListsWindow::refreshSelected()
{
    const QString id = selectedId();
    if (!id.isEmpty() && !m_library.refresh(id))
        report(QStringLiteral("Esta lista já está sendo atualizada."));
}

void ChannelListsWindow::removeSelected()
{
    const QString id = selectedId();
    if (id.isEmpty())
        return;
    QString error;
    report(m_registry.remove(id, &error) ? QString() : error);
}

void ChannelListsWindow::addCheckedSuggestions()
{
    QStringList errors;
    for (int row = 0; row < m_suggestions->count(); ++row) {
        const QListWidgetItem *item = m_suggestions->item(row);
        QString error;
        if (item->checkState() == Qt::Checked
            && m_registry.add(item->text(), item->data(Qt::UserRole).toString(), &error).isEmpty())
            errors << error;
    }
    report(errors.join(QLatin1Char(' ')));
}

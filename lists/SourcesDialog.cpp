#include "lists/SourcesDialog.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "net/AddressRule.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

SourcesDialog::SourcesDialog(const QString &channelTitle, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SourcesDialog"));
    // The title comes from a list.
    setWindowTitle(QStringLiteral("Fontes de ") + PlainText::line(channelTitle, 80));
    resize(560, 320);

    auto *note = new QLabel(
        QStringLiteral("As fontes são tentadas nesta ordem; se uma cair, a seguinte entra no lugar."), this);
    note->setWordWrap(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("SourcesList"));
    m_list->setAccessibleName(QStringLiteral("Fontes do canal"));
    m_play = new QPushButton(QStringLiteral("Assistir"), this);
    m_play->setObjectName(QStringLiteral("PlaySourceButton"));
    m_play->setDefault(true);
    m_toTop = new QPushButton(QStringLiteral("Mover para o topo"), this);
    m_toTop->setObjectName(QStringLiteral("MoveSourceToTopButton"));
    m_toTop->setToolTip(QStringLiteral("Esta fonte passa a ser a primeira tentada neste canal"));
    auto *close = new QPushButton(QStringLiteral("Fechar"), this);
    close->setObjectName(QStringLiteral("CloseSourcesButton"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_play);
    buttons->addWidget(m_toTop);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_play, &QPushButton::clicked, this, [this] { safeCall([this] { playSelected(); }); });
    connect(m_toTop, &QPushButton::clicked, this, [this] { safeCall([this] { moveSelectedToTop(); }); });
    connect(m_list, &QListWidget::itemActivated, this, [this] { safeCall([this] { playSelected(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_list, &QListWidget::currentRowChanged, this, &SourcesDialog::showButtons);
    showButtons();
}

QString SourcesDialog::healthText(SourceHealth health)
{
    switch (health) {
    case SourceHealth::Playing:
        return QStringLiteral("no ar");
    case SourceHealth::Dead:
        return QStringLiteral("fora do ar");
    case SourceHealth::Blocked:
        return QStringLiteral("bloqueada");
    case SourceHealth::NeedsLogin:
        return QStringLiteral("pede login");
    case SourceHealth::Unknown:
        break;
    }
    return QString::fromUtf8("não verificada");
}

void SourcesDialog::setSources(const QVector<ListChannel> &ranked, const QHash<QString, SourceHealth> &health)
{
    const int selected = selectedRow();
    m_sources = ranked;
    m_list->clear();
    for (int i = 0; i < ranked.size(); ++i) {
        const ListChannel &source = ranked[i];
        const SourceHealth h = health.value(source.address, SourceHealth::Unknown);
        // Names and servers come from the lists.
        const QString text
            = QStringLiteral("%1. %2 — %3 — %4")
                  .arg(i + 1)
                  .arg(PlainText::line(source.name, 80),
                      PlainText::line(AddressRule::serverOf(source.address).toString(), 80), healthText(h));
        auto *item = new QListWidgetItem(text, m_list);
        item->setToolTip(PlainText::tooltip(source.address));
        if (h == SourceHealth::Dead || h == SourceHealth::Blocked || h == SourceHealth::NeedsLogin)
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    selectRow(selected < 0 ? 0 : std::min(selected, int(ranked.size()) - 1));
}

int SourcesDialog::selectedRow() const
{
    return m_list->currentRow();
}

void SourcesDialog::selectRow(int row)
{
    m_list->setCurrentRow(row);
    showButtons();
}

void SourcesDialog::showButtons()
{
    const int row = selectedRow();
    m_play->setEnabled(row >= 0);
    m_toTop->setEnabled(row > 0);
}

void SourcesDialog::playSelected()
{
    const int row = selectedRow();
    if (row >= 0 && row < m_sources.size())
        emit playRequested(m_sources[row]);
}

void SourcesDialog::moveSelectedToTop()
{
    const int row = selectedRow();
    if (row > 0 && row < m_sources.size())
        emit moveToTopRequested(m_sources[row]);
}

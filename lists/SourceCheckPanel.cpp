#include "lists/SourceCheckPanel.h"

#include "base/SafeCall.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

SourceCheckPanel::SourceCheckPanel(SourceChecker &checker, QWidget *parent)
    : QGroupBox(QStringLiteral("Verificar canais"), parent)
    , m_checker(checker)
{
    setObjectName(QStringLiteral("SourceCheckBox"));
    m_checkSelected = new QPushButton(QStringLiteral("Verificar canais"), this);
    m_checkSelected->setObjectName(QStringLiteral("CheckSourcesButton"));
    m_checkSelected->setToolTip(QStringLiteral("Pergunta a cada fonte da lista selecionada se está no ar"));
    m_checkAll = new QPushButton(QStringLiteral("Verificar todas as listas"), this);
    m_checkAll->setObjectName(QStringLiteral("CheckAllSourcesButton"));
    m_cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    m_cancel->setObjectName(QStringLiteral("CancelSourceCheckButton"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("SourceCheckProgress"));
    m_progress->setAccessibleName(QStringLiteral("Progresso da verificação"));
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("SourceCheckStateLabel"));
    m_state->setTextFormat(Qt::PlainText);
    m_state->setWordWrap(true);
    // Shown once there is something to say: the window is tight on small screens.
    m_state->hide();
    m_metered = new QLabel(
        QString::fromUtf8("Conexão tarifada: a verificação diária dos favoritos espera por outra conexão."),
        this);
    m_metered->setObjectName(QStringLiteral("MeteredConnectionLabel"));
    m_metered->setWordWrap(true);
    m_metered->hide();

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_checkSelected);
    buttons->addWidget(m_checkAll);
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_state);
    layout->addWidget(m_metered);

    connect(m_checkSelected, &QPushButton::clicked, this, &SourceCheckPanel::checkSelectedRequested);
    connect(m_checkAll, &QPushButton::clicked, this, &SourceCheckPanel::checkAllRequested);
    connect(m_cancel, &QPushButton::clicked, this, [this] { safeCall([this] { m_checker.cancel(); }); });
    connect(&m_checker, &SourceChecker::progress, this, &SourceCheckPanel::showProgress);
    connect(&m_checker, &SourceChecker::finished, this, &SourceCheckPanel::showFinished);
    connect(&m_checker, &SourceChecker::checked, this,
        [this](const SourceProbe &, SourceHealth health) { count(health); });
    showProgress(m_checker.doneCount(), m_checker.totalCount());
    if (!m_checker.isRunning())
        m_progress->hide();
}

void SourceCheckPanel::setMetered(bool metered)
{
    m_metered->setVisible(metered);
}

void SourceCheckPanel::count(SourceHealth health)
{
    ++m_counts[int(health)];
}

void SourceCheckPanel::showProgress(int done, int total)
{
    const bool running = m_checker.isRunning();
    if (running && done == 0)
        std::fill(std::begin(m_counts), std::end(m_counts), 0);
    m_cancel->setEnabled(running);
    m_progress->setVisible(running);
    if (!running)
        return;
    m_progress->setRange(0, std::max(1, total));
    m_progress->setValue(done);
    const QLocale locale = QLocale::system();
    m_progress->setFormat(QStringLiteral("%1 de %2").arg(locale.toString(done), locale.toString(total)));
    m_state->setText(QString::fromUtf8("Verificando %1 de %2 fontes… %3 no ar, %4 fora do ar.")
                         .arg(locale.toString(done), locale.toString(total),
                             locale.toString(m_counts[int(SourceHealth::Playing)]),
                             locale.toString(m_counts[int(SourceHealth::Dead)])));
    m_state->show();
}

void SourceCheckPanel::showFinished(bool cancelled)
{
    m_cancel->setEnabled(false);
    m_progress->hide();
    const QLocale locale = QLocale::system();
    const QString found = QString::fromUtf8("%1 no ar, %2 fora do ar, %3 bloqueadas, %4 pedem login, %5 não "
                                            "verificáveis.")
                              .arg(locale.toString(m_counts[int(SourceHealth::Playing)]),
                                  locale.toString(m_counts[int(SourceHealth::Dead)]),
                                  locale.toString(m_counts[int(SourceHealth::Blocked)]),
                                  locale.toString(m_counts[int(SourceHealth::NeedsLogin)]),
                                  locale.toString(m_counts[int(SourceHealth::Unknown)]));
    m_state->setText((cancelled ? QString::fromUtf8("Verificação cancelada. Até aqui: ")
                                : QString::fromUtf8("Verificação concluída: "))
        + found);
    m_state->show();
}

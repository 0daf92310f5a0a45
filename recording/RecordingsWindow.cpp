#include "recording/RecordingsWindow.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "recording/RecorderService.h"
#include "recording/RecordingList.h"
#include "recording/RecordingSchedule.h"
#include "recording/RecordingTable.h"
#include "recording/RecordingsDialogs.h"
#include "widgets/MessageBox.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
QPushButton *makeButton(QWidget *parent, const char *objectName, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    return button;
}
} // namespace

RecordingsWindow::RecordingsWindow(RecordingList &list, RecordingSchedule &schedule,
    RecorderService &recorder, RecordingsDialogs &dialogs, const RecordableChannels &channels,
    const WallClock &clock, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(list)
    , m_schedule(schedule)
    , m_recorder(recorder)
    , m_dialogs(dialogs)
    , m_channels(channels)
    , m_clock(clock)
{
    setObjectName(QStringLiteral("RecordingsWindow"));
    setWindowTitle(QStringLiteral("Central de Gravação"));
    resize(760, 520);
    auto *layout = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    m_record = makeButton(this, "RecordButton", QStringLiteral("● Gravar"));
    m_record->setToolTip(QStringLiteral("Grava o canal que está passando (R)"));
    m_fromBuffer = new QCheckBox(QStringLiteral("Desde o início do que foi guardado"), this);
    m_fromBuffer->setObjectName(QStringLiteral("RecordFromBufferBox"));
    m_fromBuffer->setToolTip(
        QStringLiteral("Começa a gravação pelo trecho mais antigo que a pausa ao vivo guardou"));
    top->addWidget(m_record);
    top->addWidget(m_fromBuffer);
    top->addStretch(1);
    auto *folder = new QLabel(this);
    folder->setObjectName(QStringLiteral("RecordingsFolderLabel"));
    folder->setTextFormat(Qt::PlainText);
    folder->setText(QStringLiteral("Pasta: %1").arg(recorder.folder()));
    top->addWidget(folder);
    layout->addLayout(top);

    m_table = new RecordingTable(list, this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("RecordingsTable"));
    m_view->setAccessibleName(QStringLiteral("Gravações"));
    m_view->setModel(m_table);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setWordWrap(false);
    m_view->setColumnWidth(RecordingTable::ChannelColumn, 150);
    m_view->setColumnWidth(RecordingTable::ProgrammeColumn, 170);
    m_view->setColumnWidth(RecordingTable::StartColumn, 120);
    m_view->setColumnWidth(RecordingTable::LengthColumn, 70);
    m_view->setColumnWidth(RecordingTable::SizeColumn, 80);
    layout->addWidget(m_view, 3);

    auto *actions = new QHBoxLayout;
    m_play = makeButton(this, "PlayRecordingButton", QStringLiteral("Reproduzir"));
    m_stop = makeButton(this, "StopRecordingButton", QStringLiteral("Parar"));
    m_openFolder = makeButton(this, "OpenRecordingsFolderButton", QStringLiteral("Abrir pasta"));
    m_rename = makeButton(this, "RenameRecordingButton", QStringLiteral("Renomear…"));
    m_delete = makeButton(this, "DeleteRecordingButton", QStringLiteral("Excluir"));
    for (QPushButton *button : { m_play, m_stop, m_openFolder, m_rename, m_delete })
        actions->addWidget(button);
    actions->addStretch(1);
    layout->addLayout(actions);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("RecordingsProblem"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_problem->hide();
    layout->addWidget(m_problem);

    auto *scheduledTitle = new QLabel(QStringLiteral("Gravações agendadas"), this);
    QFont bold = scheduledTitle->font();
    bold.setBold(true);
    scheduledTitle->setFont(bold);
    layout->addWidget(scheduledTitle);
    m_scheduled = new QTreeWidget(this);
    m_scheduled->setObjectName(QStringLiteral("ScheduledTable"));
    m_scheduled->setAccessibleName(QStringLiteral("Gravações agendadas"));
    m_scheduled->setRootIsDecorated(false);
    m_scheduled->setHeaderLabels({ QStringLiteral("Canal"), QStringLiteral("Programa"), QStringLiteral("Dia"),
        QStringLiteral("Início"), QStringLiteral("Fim"), QStringLiteral("Estado") });
    m_scheduled->setColumnWidth(0, 150);
    m_scheduled->setColumnWidth(1, 170);
    m_scheduled->setColumnWidth(2, 130);
    m_scheduled->setColumnWidth(3, 60);
    m_scheduled->setColumnWidth(4, 60);
    layout->addWidget(m_scheduled, 2);
    auto *scheduleActions = new QHBoxLayout;
    m_scheduleButton = makeButton(this, "ScheduleButton", QStringLiteral("Agendar…"));
    m_unschedule = makeButton(this, "UnscheduleButton", QStringLiteral("Cancelar agendamento"));
    scheduleActions->addWidget(m_scheduleButton);
    scheduleActions->addWidget(m_unschedule);
    scheduleActions->addStretch(1);
    layout->addLayout(scheduleActions);

    auto onClicked = [this](QPushButton *button, void (RecordingsWindow::*handler)()) {
        connect(
            button, &QPushButton::clicked, this, [this, handler] { safeCall([&] { (this->*handler)(); }); });
    };
    connect(
        m_record, &QPushButton::clicked, this, [this] { emit recordRequested(m_fromBuffer->isChecked()); });
    onClicked(m_play, &RecordingsWindow::playSelected);
    onClicked(m_stop, &RecordingsWindow::stopSelected);
    onClicked(m_openFolder, &RecordingsWindow::openFolder);
    onClicked(m_rename, &RecordingsWindow::renameSelected);
    onClicked(m_delete, &RecordingsWindow::deleteSelected);
    onClicked(m_scheduleButton, &RecordingsWindow::scheduleByHand);
    onClicked(m_unschedule, &RecordingsWindow::cancelSelectedSchedule);
    connect(m_view, &QTableView::doubleClicked, this, [this] { safeCall([this] { playSelected(); }); });
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &RecordingsWindow::updateButtons);
    connect(m_table, &QAbstractItemModel::dataChanged, this, &RecordingsWindow::updateButtons);
    connect(m_table, &QAbstractItemModel::rowsRemoved, this, &RecordingsWindow::updateButtons);
    connect(&m_schedule, &RecordingSchedule::entriesChanged, this, &RecordingsWindow::showSchedule);
    connect(m_scheduled, &QTreeWidget::itemSelectionChanged, this, &RecordingsWindow::updateButtons);
    // A running recording's line says how long it has recorded; the schedule says which one runs.
    connect(&m_recorder, &RecorderService::started, this, &RecordingsWindow::showSchedule);
    showSchedule();
    updateButtons();
}

RecordingsWindow::~RecordingsWindow() = default;

void RecordingsWindow::setRecordable(bool recordable, bool bufferKept)
{
    m_recordable = recordable;
    m_record->setEnabled(recordable);
    m_fromBuffer->setEnabled(recordable && bufferKept);
    if (!bufferKept)
        m_fromBuffer->setChecked(false);
}

void RecordingsWindow::showProblem(const QString &text)
{
    m_problem->setText(PlainText::text(text));
    m_problem->setVisible(!text.isEmpty());
}

void RecordingsWindow::select(const QString &id)
{
    for (int row = 0; row < m_table->rowCount(); ++row)
        if (m_table->index(row, 0).data(Qt::UserRole).toString() == id) {
            m_view->selectRow(row);
            return;
        }
}

QString RecordingsWindow::selectedId() const
{
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : rows.first().data(Qt::UserRole).toString();
}

const Recording *RecordingsWindow::selected() const
{
    const QString id = selectedId();
    return id.isEmpty() ? nullptr : m_list.find(id);
}

void RecordingsWindow::updateButtons()
{
    const Recording *r = selected();
    const bool running = r && r->state == Recording::State::Running;
    const bool hasFile = r && !r->files.isEmpty() && QFileInfo::exists(r->files.first());
    m_stop->setEnabled(running);
    m_play->setEnabled(hasFile);
    m_rename->setEnabled(r && !running);
    m_delete->setEnabled(r && !running);
    m_unschedule->setEnabled(!m_scheduled->selectedItems().isEmpty());
}

void RecordingsWindow::stopSelected()
{
    if (const Recording *r = selected(); r && r->state == Recording::State::Running)
        m_recorder.stop(r->id);
}

void RecordingsWindow::playSelected()
{
    const Recording *r = selected();
    if (!r || r->files.isEmpty())
        return;
    if (!QFileInfo::exists(r->files.first())) {
        showProblem(QStringLiteral("O arquivo desta gravação não existe mais: %1").arg(r->files.first()));
        return;
    }
    emit playRequested(r->files.first());
}

void RecordingsWindow::openFolder()
{
    const Recording *r = selected();
    m_dialogs.openFolder(
        r && !r->files.isEmpty() ? QFileInfo(r->files.first()).absolutePath() : m_recorder.folder());
}

void RecordingsWindow::renameSelected()
{
    const Recording *r = selected();
    if (!r || r->state == Recording::State::Running)
        return;
    const QString id = r->id;
    const std::optional<QString> name = m_dialogs.askNewName(this, *r);
    if (!name)
        return;
    if (!m_list.rename(id, *name))
        showProblem(QStringLiteral("Não foi possível renomear: o nome está vazio, tem uma barra (/) ou "
                                   "já existe um arquivo com ele nesta pasta."));
    else
        showProblem({});
}

void RecordingsWindow::deleteSelected()
{
    const Recording *r = selected();
    if (!r || r->state == Recording::State::Running)
        return;
    const QString id = r->id;
    const QString name
        = r->programme.isEmpty() ? r->channel : r->channel + QStringLiteral(" — ") + r->programme;
    const QMessageBox::StandardButton answer = showMessage(this,
        { QStringLiteral("Excluir gravação"),
            QStringLiteral("Excluir a gravação “%1” de %2? Os arquivos serão apagados do disco.")
                .arg(PlainText::line(name),
                    QLocale::system().toString(r->start, QStringLiteral("dd/MM/yyyy HH:mm"))),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::No });
    if (answer == QMessageBox::Yes)
        m_list.remove(id);
}

void RecordingsWindow::scheduleByHand()
{
    const std::optional<ScheduledRecording> entry
        = m_dialogs.askSchedule(this, m_channels.recordableChannels(), m_clock.now());
    if (!entry)
        return;
    if (!m_schedule.add(*entry))
        showProblem(
            QStringLiteral("Não foi possível agendar: o fim precisa ser depois do início e de agora."));
    else
        showProblem({});
}

void RecordingsWindow::cancelSelectedSchedule()
{
    const QList<QTreeWidgetItem *> items = m_scheduled->selectedItems();
    if (items.isEmpty())
        return;
    m_recorder.cancelScheduled(items.first()->data(0, Qt::UserRole).toString());
}

void RecordingsWindow::showSchedule()
{
    const QString chosen = m_scheduled->selectedItems().isEmpty()
        ? QString()
        : m_scheduled->selectedItems().first()->data(0, Qt::UserRole).toString();
    m_scheduled->clear();
    const QLocale portuguese(QLocale::Portuguese, QLocale::Brazil);
    for (const ScheduledRecording &e : m_schedule.entries()) {
        auto *item = new QTreeWidgetItem(m_scheduled,
            { PlainText::line(e.channel), PlainText::line(e.programme),
                portuguese.toString(e.start.date(), QStringLiteral("ddd dd/MM/yyyy")),
                e.start.toString(QStringLiteral("HH:mm")), e.end.toString(QStringLiteral("HH:mm")),
                e.started ? QStringLiteral("Gravando") : QStringLiteral("Aguardando") });
        item->setData(0, Qt::UserRole, e.id);
        if (e.id == chosen)
            item->setSelected(true);
    }
    updateButtons();
}

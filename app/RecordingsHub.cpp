#include "app/RecordingsHub.h"

#include "app/ChannelListsHub.h"
#include "app/TrayIcon.h"
#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "channels/ChannelCatalogue.h"
#include "engine/LiveBuffer.h"
#include "engine/MediaEngine.h"
#include "guide/GuideGridModel.h"
#include "guide/GuideLibrary.h"
#include "guide/GuideWindow.h"
#include "guide/ProgrammeDetailsPanel.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelPicks.h"
#include "lists/ListAddress.h"
#include "net/AddressRule.h"
#include "player/AlternateAddresses.h"
#include "player/Player.h"
#include "recording/RecordingList.h"
#include "recording/RecordingSchedule.h"
#include "recording/RecordingsWindow.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>
#include <QTimer>

namespace
{
RecorderService::Settings serviceSettings(
    const QString &videosFolder, const StreamRecorderSettings &recorder, const RecordingSources &sources)
{
    RecorderService::Settings settings;
    settings.folder = videosFolder;
    settings.recorder = recorder;
    settings.sources = &sources;
    return settings;
}

QString dataFolderOr(const QString &folder)
{
    return folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : folder;
}
} // namespace

RecordingsHub::RecordingsHub(MainWindow &main, Player &player, ChannelListsHub &channels,
    const Places &places, const StreamRecorderSettings &recorder)
    : QObject(&main)
    , m_main(main)
    , m_player(player)
    , m_channels(channels)
    , m_list(std::make_unique<RecordingList>(
          dataFolderOr(places.dataFolder) + QStringLiteral("/recordings.json")))
    , m_schedule(std::make_unique<RecordingSchedule>(
          dataFolderOr(places.dataFolder) + QStringLiteral("/recording-schedule.json"), m_clock))
    , m_recorder(std::make_unique<RecorderService>(
          *m_list, *m_schedule, serviceSettings(places.videosFolder, recorder, *this)))
{
    setObjectName(QStringLiteral("RecordingsHub"));
    connect(m_recorder.get(), &RecorderService::started, this, &RecordingsHub::showRecordingState);
    connect(m_recorder.get(), &RecorderService::stopped, this, &RecordingsHub::showRecordingState);
    connect(m_recorder.get(), &RecorderService::message, this, &RecordingsHub::tell);
    connect(m_recorder.get(), &RecorderService::missed, this, &RecordingsHub::reportMissed);
    connect(m_recorder.get(), &RecorderService::interrupted, this, &RecordingsHub::watchForDeadSource);
    connect(m_recorder.get(), &RecorderService::resumed, this, [this](const QString &id) {
        if (QTimer *timer = m_deadSourceTimers.value(id))
            timer->stop();
    });
    connect(m_recorder.get(), &RecorderService::stopped, this,
        [this](const QString &id) { delete m_deadSourceTimers.take(id); });
    // The recording follows the channel to its next address, as the picture does.
    connect(&m_player, &Player::sourceChanged, this, [this](const QString &title, const QString &address) {
        m_recorder->switchSource(channelName(title), sourceFor(address));
    });
    auto showRecordable = [this] {
        if (m_window) {
            const LiveBuffer *buffer = m_player.engine().liveBuffer();
            m_window->setRecordable(recordable(), buffer && buffer->isActive());
        }
    };
    connect(&m_player, &Player::loadedChanged, this, showRecordable);
    connect(&m_player.engine(), &MediaEngine::stateChanged, this, showRecordable);
    m_main.setQuitGuard(this);
    addMenuItemsAndButtons();
}

RecordingsHub::~RecordingsHub()
{
    m_main.setQuitGuard(nullptr);
    m_window.reset();
    // Closes every running recording's file before the list is saved for the last time.
    m_recorder.reset();
}

void RecordingsHub::addMenuItemsAndButtons()
{
    const QList<QAction *> items = m_main.addMenuSection({
        { "RecordItem", QStringLiteral("Gravar"), QKeySequence(Qt::Key_R) },
        { "RecordFromBufferItem", QStringLiteral("Gravar desde o início do que foi guardado"),
            QKeySequence(Qt::SHIFT | Qt::Key_R) },
        { "RecordingsItem", QStringLiteral("Central de Gravação"), QKeySequence() },
    });
    connect(items.at(0), &QAction::triggered, this, [this] { safeCall([this] { recordWhatPlays(false); }); });
    connect(items.at(1), &QAction::triggered, this, [this] { safeCall([this] { recordWhatPlays(true); }); });
    connect(items.at(2), &QAction::triggered, this, [this] { safeCall([this] { showWindow(); }); });
    connect(&m_main, &MainWindow::recordingsRequested, this, [this] { safeCall([this] { showWindow(); }); });
}

void RecordingsHub::start()
{
    if (m_started)
        return;
    m_started = true;
    m_schedule->load();
}

RecordingsWindow *RecordingsHub::showWindow()
{
    if (!m_window) {
        m_window = std::make_unique<RecordingsWindow>(
            *m_list, *m_schedule, *m_recorder, *m_dialogs, *this, m_clock);
        connect(m_window.get(), &RecordingsWindow::recordRequested, this,
            [this](bool fromBufferStart) { safeCall([&] { recordWhatPlays(fromBufferStart); }); });
        connect(m_window.get(), &RecordingsWindow::playRequested, this, [this](const QString &path) {
            safeCall([&] {
                m_player.playFromOutside(path);
                m_main.switchToPlayerTab();
                if (!m_main.isVisible())
                    m_main.returnFromTray();
            });
        });
    }
    const LiveBuffer *buffer = m_player.engine().liveBuffer();
    m_window->setRecordable(recordable(), buffer && buffer->isActive());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window.get();
}

QString RecordingsHub::channelName(const QString &windowTitle)
{
    const QString prefix = ChannelCatalogue::windowTitlePrefix();
    return windowTitle.startsWith(prefix) ? windowTitle.mid(prefix.size()) : windowTitle;
}

bool RecordingsHub::recordable() const
{
    const LoadedMedia &loaded = m_player.loaded();
    return (loaded.kind == LoadedMedia::Kind::Channel || loaded.kind == LoadedMedia::Kind::Address)
        && AddressRule::allows(loaded.address, AddressRule::Origin::Network);
}

QString RecordingsHub::recordWhatPlays(bool fromBufferStart)
{
    if (!recordable()) {
        tell(QStringLiteral("Não há o que gravar: sintonize um canal ou abra o endereço de uma transmissão. "
                            "Arquivos do computador não são gravados."));
        return {};
    }
    const LoadedMedia &loaded = m_player.loaded();
    const QString name = loaded.kind == LoadedMedia::Kind::Channel ? channelName(loaded.title) : loaded.title;
    if (m_recorder->isRecordingChannel(name)) {
        tell(QStringLiteral("%1 já está sendo gravado.").arg(PlainText::line(name)));
        return {};
    }
    const QString programme = programmeNow(name, loaded.address);
    const RecordingSource source = sourceFor(loaded.address);
    LiveBuffer *buffer = m_player.engine().liveBuffer();
    const QString id = fromBufferStart && buffer && buffer->isActive()
        ? m_recorder->startFromBuffer(name, source, *buffer, programme)
        : m_recorder->start(name, source, programme);
    if (!id.isEmpty() && m_window)
        m_window->select(id);
    return id;
}

QString RecordingsHub::programmeNow(const QString &channel, const QString &address) const
{
    if (!m_guides)
        return {};
    // Matched by name and by the list entry of that address, as "Canais" matches it.
    ListChannel entry;
    entry.name = entry.title = channel;
    entry.address = address;
    for (const ListChannel &listed : m_channels.library().allChannels())
        if (listed.address == address) {
            entry = listed;
            break;
        }
    return m_guides->nowNext(GuideChannelQuery::forEntry(entry), QDateTime::currentDateTimeUtc()).now.title;
}

bool RecordingsHub::scheduleProgramme(
    const ListChannel &channel, const QString &title, const QDateTime &start, const QDateTime &end)
{
    const QString name = channel.title.isEmpty() ? channel.name : channel.title;
    for (const ScheduledRecording &e : m_schedule->entries())
        if (e.channel == name && e.programme == title
            && e.start == start.addSecs(-RecordingSchedule::defaultLeadSeconds)) {
            showWindow();
            return true;
        }
    if (!AddressRule::allows(channel.address, AddressRule::Origin::Network)) {
        tell(QStringLiteral("Não é possível gravar %1: o canal não tem o endereço de uma transmissão.")
                 .arg(PlainText::line(name)));
        return false;
    }
    // The channel's own headers, so the recording is let in as the picture would be.
    if (!channel.userAgent.isEmpty() || !channel.referrer.isEmpty())
        m_player.engine().setRequestHeaders(channel.address, channel.userAgent, channel.referrer);
    if (!m_schedule->addProgramme(name, channel.address, title, start, end)) {
        tell(QStringLiteral("Este programa já terminou; não há o que gravar."));
        return false;
    }
    showWindow();
    return true;
}

void RecordingsHub::watchGuideWindow(GuideWindow &window, const GuideGridModel &model)
{
    connect(window.details(), &ProgrammeDetailsPanel::recordRequested, this,
        [this, &model](const QModelIndex &programme) {
            safeCall([&] {
                if (!programme.parent().isValid() || programme.parent().row() >= model.rowCount())
                    return;
                scheduleProgramme(model.channel(programme.parent().row()).entry, programme.data().toString(),
                    QDateTime::fromSecsSinceEpoch(programme.data(GuideGridModel::StartRole).toLongLong()),
                    QDateTime::fromSecsSinceEpoch(programme.data(GuideGridModel::StopRole).toLongLong()));
            });
        });
}

// While the channel plays, the picture's reconnection moves the recording on
// too; while something else plays, nothing would: an address that stays dead
// for this long makes the recording go on from the channel's next one.
constexpr int kDeadSourceMs = 2000;

void RecordingsHub::watchForDeadSource(const QString &id, const QString &channel)
{
    const QString title = ChannelCatalogue::windowTitlePrefix() + channel;
    if (m_player.alternates().entries(title).size() < 2)
        return;
    QTimer *&timer = m_deadSourceTimers[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        timer->setInterval(kDeadSourceMs);
        connect(timer, &QTimer::timeout, this,
            [this, id, channel] { safeCall([&] { moveToNextSource(id, channel); }); });
    }
    timer->start();
}

void RecordingsHub::moveToNextSource(const QString &id, const QString &channel)
{
    const QString title = ChannelCatalogue::windowTitlePrefix() + channel;
    const LoadedMedia &loaded = m_player.loaded();
    const bool watched = loaded.kind == LoadedMedia::Kind::Channel && loaded.title == title;
    const QStringList entries = m_player.alternates().entries(title);
    if (entries.size() < 2)
        return;
    if (!watched) {
        const int at = int(entries.indexOf(m_recorder->addressOf(id)));
        m_recorder->switchSource(channel, sourceFor(entries.at((at + 1) % entries.size())));
    }
    // Still dead after this one too: on to the next, until it sends or stops.
    if (QTimer *timer = m_deadSourceTimers.value(id))
        timer->start();
}

void RecordingsHub::showRecordingState()
{
    QStringList channels;
    for (const Recording &r : m_list->recordings())
        if (r.state == Recording::State::Running && !channels.contains(r.channel))
            channels << PlainText::line(r.channel);
    m_main.setRecordingMark(!channels.isEmpty());
    m_main.tray().setRecordingStatus(
        channels.isEmpty() ? QString() : QStringLiteral("Gravando: ") + channels.join(QStringLiteral(", ")));
}

void RecordingsHub::tell(const QString &text)
{
    if (m_window && m_window->isVisible())
        m_window->showProblem(text);
    // Said after the current handler (a recorder's signal) has returned.
    QTimer::singleShot(0, this, [this, text] {
        QWidget *parent
            = m_window && m_window->isVisible() ? static_cast<QWidget *>(m_window.get()) : &m_main;
        showMessage(parent, { applicationTitle(), text, QMessageBox::Information });
    });
}

void RecordingsHub::reportMissed(const QList<ScheduledRecording> &entries)
{
    if (entries.isEmpty())
        return;
    const QLocale locale = QLocale::system();
    QStringList lines;
    for (const ScheduledRecording &e : entries)
        lines << QStringLiteral("• %1%2, %3 das %4 às %5")
                     .arg(PlainText::line(e.channel),
                         e.programme.isEmpty() ? QString()
                                               : QStringLiteral(" — ") + PlainText::line(e.programme),
                         locale.toString(e.start.date(), QStringLiteral("dd/MM/yyyy")),
                         e.start.toString(QStringLiteral("HH:mm")), e.end.toString(QStringLiteral("HH:mm")));
    tell(QStringLiteral("Estas gravações agendadas não foram feitas porque o Lumivortex não estava aberto "
                        "na hora marcada:\n")
        + lines.join(QLatin1Char('\n')));
}

bool RecordingsHub::mayQuit(QWidget *parent)
{
    if (!m_recorder->isRecording())
        return true;
    QStringList channels;
    for (const Recording &r : m_list->recordings())
        if (r.state == Recording::State::Running)
            channels << PlainText::line(r.channel);
    const QMessageBox::StandardButton answer = showMessage(parent,
        { applicationTitle(),
            QStringLiteral("Há uma gravação em andamento (%1). Se o Lumivortex for fechado, a gravação para "
                           "e o que foi gravado até agora fica salvo.\n\nFechar mesmo assim?")
                .arg(channels.join(QStringLiteral(", "))),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::No });
    return answer == QMessageBox::Yes;
}

QVector<ChannelChoice> RecordingsHub::recordableChannels() const
{
    QVector<ChannelChoice> choices;
    QSet<QString> seen;
    auto add = [&](const QString &name, const QString &address) {
        if (name.isEmpty() || seen.contains(name) || ListAddress::isPlaceholder(address)
            || !AddressRule::allows(address, AddressRule::Origin::Network))
            return;
        seen.insert(name);
        choices << ChannelChoice { name, address };
    };
    const LoadedMedia &loaded = m_player.loaded();
    if (recordable())
        add(loaded.kind == LoadedMedia::Kind::Channel ? channelName(loaded.title) : loaded.title,
            loaded.address);
    const QStringList picks = m_channels.picks().recents() + m_channels.picks().favourites();
    if (!picks.isEmpty()) {
        const QSet<QString> wanted(picks.cbegin(), picks.cend());
        QHash<QString, ListChannel> found;
        for (const ListChannel &entry : m_channels.library().allChannels()) {
            const QString identity = ChannelPicks::identityOf(entry);
            if (wanted.contains(identity) && !found.contains(identity))
                found.insert(identity, entry);
        }
        for (const QString &identity : picks)
            if (const auto it = found.constFind(identity); it != found.cend())
                add(it->title.isEmpty() ? it->name : it->title, it->address);
    }
    for (const Channel &channel : m_channels.catalogue().channels())
        add(channel.titleSuffix, channel.address);
    return choices;
}

RecordingSource RecordingsHub::sourceFor(const QString &address) const
{
    return m_player.engine().recordingSource(address);
}

#include "recording/RecorderService.h"

#include "base/Logging.h"
#include "base/PlainText.h"
#include "net/AddressRule.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace
{

// What a channel's name may not bring into a file name.
QString fileNamePart(const QString &channel)
{
    QString name;
    for (const QChar c : channel)
        name += (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            ? QLatin1Char(' ')
            : c;
    name = name.simplified();
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.left(120).trimmed().isEmpty() ? QStringLiteral("Gravação") : name.left(120).trimmed();
}

} // namespace

RecorderService::RecorderService(
    RecordingList &list, RecordingSchedule &schedule, const Settings &settings, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_schedule(schedule)
    , m_settings(settings)
    , m_folder(settings.folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::MoviesLocation)
                  + QStringLiteral("/Lumivortex")
                                         : settings.folder)
{
    connect(&m_schedule, &RecordingSchedule::startDue, this, [this](const ScheduledRecording &entry) {
        RecordingSource source;
        source.address = entry.address;
        if (m_settings.sources)
            source = m_settings.sources->sourceFor(entry.address);
        const QString id = start(entry.channel, source, entry.programme);
        if (!id.isEmpty())
            m_running[id].scheduleId = entry.id;
    });
    connect(&m_schedule, &RecordingSchedule::endDue, this, [this](const ScheduledRecording &entry) {
        for (auto it = m_running.cbegin(); it != m_running.cend(); ++it)
            if (it->scheduleId == entry.id) {
                stop(it.key());
                return;
            }
    });
    connect(&m_schedule, &RecordingSchedule::missed, this, &RecorderService::missed);
}

RecorderService::~RecorderService()
{
    // Each recorder's destructor stops its worker and closes its file.
    const QStringList ids = m_running.keys();
    for (const QString &id : ids) {
        Running running = m_running.take(id);
        if (const Recording *known = m_list.find(id)) {
            Recording r = *known;
            if (running.recorder) {
                r.seconds = running.recorder->secondsWritten();
                r.bytes = running.recorder->bytesWritten();
            }
            r.state = Recording::State::Finished;
            m_list.update(r);
        }
        delete running.recorder.data();
    }
}

QString RecorderService::freeFileName(const QString &folder, const QString &channel, const QDateTime &when)
{
    const QString base = folder + QLatin1Char('/') + fileNamePart(channel) + QLatin1Char(' ')
        + when.toString(QStringLiteral("yyyy-MM-dd HH'h'mm"));
    QString path = base + QStringLiteral(".ts");
    for (int n = 2; QFileInfo::exists(path) || QFileInfo::exists(base + QStringLiteral(" (parte 2).ts")); ++n)
        path = base + QStringLiteral(" %1.ts").arg(n);
    return path;
}

QString RecorderService::start(
    const QString &channel, const RecordingSource &source, const QString &programme)
{
    return startRecorder(channel, source, programme, {}, 1, {}, 0);
}

QString RecorderService::startFromBuffer(
    const QString &channel, const RecordingSource &source, LiveBuffer &buffer, const QString &programme)
{
    if (!buffer.isActive() || !QDir().mkpath(m_folder))
        return start(channel, source, programme);
    const QString path = freeFileName(m_folder, channel, QDateTime::currentDateTime());
    // Made here, empty, so that libmpv (which overwrites) writes only this file.
    QFile kept(path);
    if (!kept.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return start(channel, source, programme);
    kept.close();
    const double keptSeconds = buffer.secondsAvailable();
    if (!buffer.saveKept(path)) {
        QFile::remove(path);
        return start(channel, source, programme);
    }
    const QString id = startRecorder(channel, source, programme, path, 2, path, keptSeconds);
    if (id.isEmpty()) {
        QFile::remove(path);
        return id;
    }
    connect(&buffer, &LiveBuffer::saved, this, [this, id](const QString &file, bool ok) {
        if (ok || !m_running.contains(id) || m_running[id].keptPart != file)
            return;
        // libmpv could not write what was kept: the recording is what comes from now.
        QFile::remove(file);
        m_running[id].keptPart.clear();
        m_running[id].keptSeconds = 0;
        refresh(id);
        emit message(QStringLiteral("Não foi possível gravar o que já estava guardado de %1; a gravação "
                                    "tem o que vem a partir de agora.")
                         .arg(PlainText::line(m_running[id].channel)));
    });
    return id;
}

QString RecorderService::startRecorder(const QString &channel, const RecordingSource &source,
    const QString &programme, const QString &path, int firstPart, const QString &keptPart, double keptSeconds)
{
    if (!AddressRule::allows(source.address, AddressRule::Origin::Network)) {
        emit message(
            QStringLiteral("Não é possível gravar este canal: o endereço não é de uma transmissão."));
        return {};
    }
    if (!QDir().mkpath(m_folder)) {
        emit message(QStringLiteral("Não foi possível criar a pasta de gravações %1.").arg(m_folder));
        return {};
    }
    Recording recording;
    recording.channel = channel;
    recording.programme = programme;
    recording.start = QDateTime::currentDateTime();
    if (!keptPart.isEmpty())
        recording.files << keptPart;
    StreamRecorderSettings settings = m_settings.recorder;
    settings.firstPart = firstPart;
    auto *recorder = new StreamRecorder(
        path.isEmpty() ? freeFileName(m_folder, channel, recording.start) : path, settings, this);
    if (!recorder->start(source)) {
        delete recorder;
        emit message(QStringLiteral("Não foi possível começar a gravação."));
        return {};
    }
    const QString id = m_list.add(recording);
    const bool wasRecording = isRecording();
    m_running.insert(id, { recorder, channel, {}, source.address, keptPart, keptSeconds });
    connect(recorder, &StreamRecorder::partStarted, this, [this, id] { refresh(id); });
    connect(recorder, &StreamRecorder::progressed, this, [this, id] { refresh(id); });
    connect(
        recorder, &StreamRecorder::interrupted, this, [this, id, channel] { emit interrupted(id, channel); });
    connect(recorder, &StreamRecorder::resumed, this, [this, id] { emit resumed(id); });
    connect(recorder, &StreamRecorder::finished, this,
        [this, id](StreamRecorder::Outcome outcome) { onFinished(id, outcome); });
    emit started(id);
    if (!wasRecording)
        emit recordingChanged(true);
    return id;
}

void RecorderService::switchSource(const QString &channel, const RecordingSource &source)
{
    for (Running &running : m_running)
        if (running.channel == channel && running.recorder && running.recorder->switchSource(source))
            running.address = source.address;
}

QString RecorderService::addressOf(const QString &id) const
{
    return m_running.value(id).address;
}

void RecorderService::stop(const QString &id)
{
    const auto it = m_running.constFind(id);
    if (it != m_running.cend() && it->recorder)
        it->recorder->stop();
}

void RecorderService::stopAll()
{
    for (const Running &running : std::as_const(m_running))
        if (running.recorder)
            running.recorder->stop();
}

void RecorderService::cancelScheduled(const QString &scheduleId)
{
    for (auto it = m_running.cbegin(); it != m_running.cend(); ++it)
        if (it->scheduleId == scheduleId && it->recorder)
            it->recorder->stop();
    m_schedule.remove(scheduleId);
}

bool RecorderService::isRecordingChannel(const QString &channel) const
{
    for (const Running &running : m_running)
        if (running.channel == channel)
            return true;
    return false;
}

void RecorderService::refresh(const QString &id)
{
    const Running running = m_running.value(id);
    const Recording *known = m_list.find(id);
    if (!running.recorder || !known)
        return;
    Recording r = *known;
    r.files = running.recorder->files();
    r.seconds = running.recorder->secondsWritten();
    r.bytes = running.recorder->bytesWritten();
    if (!running.keptPart.isEmpty()) {
        r.files.prepend(running.keptPart);
        r.bytes += QFileInfo(running.keptPart).size();
        r.seconds += running.keptSeconds;
    }
    m_list.update(r);
}

void RecorderService::onFinished(const QString &id, StreamRecorder::Outcome outcome)
{
    refresh(id);
    Running running = m_running.take(id);
    Recording::State state = Recording::State::Finished;
    if (outcome == StreamRecorder::Outcome::DiskFull) {
        state = Recording::State::DiskFull;
        emit message(QStringLiteral("A gravação parou porque o disco está quase cheio (menos de %1 livres). "
                                    "O que foi gravado até aqui está salvo.")
                         .arg(QLocale::system().formattedDataSize(m_settings.recorder.minimumFreeBytes)));
    } else if (outcome == StreamRecorder::Outcome::WriteFailed) {
        state = Recording::State::Failed;
        emit message(QStringLiteral("A gravação falhou: não foi possível escrever em %1.").arg(m_folder));
    }
    if (const Recording *known = m_list.find(id)) {
        Recording r = *known;
        r.state = state;
        m_list.update(r);
    }
    if (running.recorder)
        running.recorder->deleteLater();
    if (!running.scheduleId.isEmpty())
        m_schedule.remove(running.scheduleId);
    emit stopped(id, state);
    if (!isRecording())
        emit recordingChanged(false);
}

#include "guide/GuideRowNotes.h"

#include "base/SafeCall.h"
#include "guide/GuideLibrary.h"
#include "guide/ProgrammeText.h"
#include "lists/ChannelPicks.h"

#include <QDateTime>

GuideRowNotes::GuideRowNotes(const GuideLibrary &library, QObject *parent)
    : ChannelRowNotes(parent)
    , m_library(library)
{
    m_clock.setParent(this);
    m_clock.setObjectName(QStringLiteral("GuideRowClock"));
    m_clock.setSingleShot(true);
    connect(&m_clock, &QTimer::timeout, this, [this] { safeCall([this] { clockTurned(); }); });
    connect(&m_library, &GuideLibrary::schedulesChanged, this, [this] {
        m_schedules.clear();
        emit notesChanged();
    });
}

qint64 GuideRowNotes::now() const
{
    return m_fixedNow > 0 ? m_fixedNow : QDateTime::currentSecsSinceEpoch();
}

bool GuideRowNotes::hasNotes() const
{
    return !m_library.matcher().guides().isEmpty();
}

GuideSchedule GuideRowNotes::scheduleFor(const ListChannel &channel) const
{
    const QString identity = ChannelPicks::identityOf(channel);
    auto found = m_schedules.constFind(identity);
    if (found == m_schedules.constEnd())
        found = m_schedules.insert(identity, m_library.schedule(GuideChannelQuery::forEntry(channel)));
    return *found;
}

ChannelRowNote GuideRowNotes::noteFor(const ListChannel &channel) const
{
    if (!hasNotes())
        return {};
    const qint64 when = now();
    if (!m_clock.isActive())
        m_clock.start(int((60 - when % 60) * 1000));
    const NowNext nowNext = scheduleFor(channel).nowNext(when, GuideDetail::Titles);
    ChannelRowNote note;
    note.line = ProgrammeText::nowLine(nowNext.now);
    note.progress = ProgrammeText::progress(nowNext.now, when);
    note.tooltip = ProgrammeText::nextLine(nowNext.next);
    if (note.line.isEmpty() && nowNext.next.isValid()) {
        // Between programmes the row says what comes.
        note.line = note.tooltip;
        note.tooltip.clear();
    }
    return note;
}

void GuideRowNotes::clockTurned()
{
    emit notesChanged();
}

#include "guide/ChannelGuidePanel.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "guide/GuideRowNotes.h"
#include "guide/ProgrammeText.h"

#include <QDateTime>
#include <QLabel>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace
{
// A day of a news channel holds some forty programmes; more is a broken guide.
constexpr int MostProgrammes = 60;
constexpr int LongestDescription = 1200;

void write(QTextCursor &cursor, const QString &text, bool bold = false, const QColor &colour = QColor())
{
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    if (colour.isValid())
        format.setForeground(colour);
    cursor.insertText(text, format); // inserted as characters, never as markup
}

void writeProgramme(QTextCursor &cursor, const GuideProgramme &programme, const QString &heading)
{
    if (!heading.isEmpty()) {
        write(cursor, heading + QLatin1Char('\n'), true, QColor(0x30, 0x60, 0xa0));
    }
    write(cursor, ProgrammeText::times(programme) + QStringLiteral("  "), true);
    write(cursor, ProgrammeText::fullTitle(programme) + QLatin1Char('\n'), true);
    QStringList about;
    if (!programme.episode.isEmpty())
        about << PlainText::line(programme.episode);
    if (!programme.rating.isEmpty())
        about << PlainText::line(programme.rating);
    for (const QString &category : programme.categories)
        about << PlainText::line(category);
    if (!about.isEmpty())
        write(cursor, about.join(QStringLiteral(" · ")) + QLatin1Char('\n'), false, QColor(0x60, 0x68, 0x78));
    if (!programme.description.isEmpty())
        write(cursor, PlainText::text(programme.description, LongestDescription) + QLatin1Char('\n'));
    write(cursor, QStringLiteral("\n"));
}
} // namespace

ChannelGuidePanel::ChannelGuidePanel(GuideRowNotes &notes, QWidget *parent)
    : QWidget(parent)
    , m_notes(notes)
{
    setObjectName(QStringLiteral("ChannelGuidePanel"));
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("ChannelGuideHeading"));
    m_heading->setTextFormat(Qt::PlainText);
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    m_programmes = new QTextEdit(this);
    m_programmes->setObjectName(QStringLiteral("ChannelGuideText"));
    m_programmes->setAccessibleName(QStringLiteral("Programação do canal"));
    m_programmes->setReadOnly(true);
    m_programmes->setAcceptRichText(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_heading);
    layout->addWidget(m_programmes, 1);
    connect(&m_notes, &ChannelRowNotes::notesChanged, this, [this] { safeCall([this] { showAgain(); }); });
    showAgain();
}

void ChannelGuidePanel::showChannel(const ListChannel &channel)
{
    m_channel = channel;
    m_hasChannel = true;
    showAgain();
    m_programmes->verticalScrollBar()->setValue(0);
}

void ChannelGuidePanel::showAgain()
{
    // The minute's refresh keeps the reader where they were.
    QScrollBar *scroll = m_programmes->verticalScrollBar();
    const int keptAt = scroll->value();
    const auto keep = qScopeGuard([scroll, keptAt] { scroll->setValue(keptAt); });
    m_programmes->clear();
    if (!m_hasChannel) {
        m_heading->setText(QStringLiteral("Programação"));
        return;
    }
    m_heading->setText(PlainText::line(m_channel.title.isEmpty() ? m_channel.name : m_channel.title));
    const qint64 now = m_notes.now();
    const GuideSchedule schedule = m_notes.scheduleFor(m_channel);
    const QVector<GuideProgramme> day = schedule.restOfDay(QDateTime::fromSecsSinceEpoch(now, Qt::UTC));
    QTextCursor cursor(m_programmes->document());
    if (day.isEmpty()) {
        const NowNext nowNext = schedule.nowNext(now);
        if (nowNext.next.isValid())
            writeProgramme(cursor, nowNext.next, QStringLiteral("Depois"));
        else
            write(cursor, QStringLiteral("Sem programação para este canal."));
        return;
    }
    int shown = 0;
    for (const GuideProgramme &programme : day) {
        QString heading;
        if (shown == 0)
            heading = programme.isOnAt(now) ? QStringLiteral("Agora") : QStringLiteral("Depois");
        else if (shown == 1 && day.first().isOnAt(now))
            heading = QStringLiteral("Depois");
        else if (shown == 2 && day.first().isOnAt(now))
            heading = QStringLiteral("Mais tarde hoje");
        writeProgramme(cursor, programme, heading);
        if (++shown >= MostProgrammes)
            break;
    }
}

QString ChannelGuidePanel::text() const
{
    return m_programmes->toPlainText();
}

#include "guide/ProgrammeDetailsPanel.h"

#include "base/PlainText.h"
#include "guide/GuideGridModel.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

ProgrammeDetailsPanel::ProgrammeDetailsPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("GuideDetailsPanel"));
    setAccessibleName(QStringLiteral("Detalhes do programa"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    m_title = label("GuideDetailsTitle", "Título");
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_title->setFont(bold);
    m_when = label("GuideDetailsTime", "Horário");
    m_episode = label("GuideDetailsEpisode", "Episódio");
    m_rating = label("GuideDetailsRating", "Classificação");
    m_categories = label("GuideDetailsCategories", "Categorias");
    m_description = label("GuideDetailsDescription", "Descrição");
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    for (QLabel *shown : { m_title, m_when, m_episode, m_rating, m_categories, m_description })
        layout->addWidget(shown);
    m_record = new QPushButton(QStringLiteral("Gravar este programa"), this);
    m_record->setObjectName(QStringLiteral("RecordProgrammeButton"));
    m_record->setToolTip(QStringLiteral("Agenda a gravação, de 2 minutos antes a 5 minutos depois"));
    connect(m_record, &QPushButton::clicked, this, [this] {
        if (m_shown.isValid())
            emit recordRequested(m_shown);
    });
    layout->addWidget(m_record, 0, Qt::AlignLeft);
    layout->addStretch(1);
    show(QModelIndex());
}

QLabel *ProgrammeDetailsPanel::label(const char *objectName, const char *accessibleName)
{
    auto *shown = new QLabel(this);
    shown->setObjectName(QLatin1String(objectName));
    shown->setAccessibleName(QString::fromUtf8(accessibleName));
    shown->setTextFormat(Qt::PlainText);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return shown;
}

QString ProgrammeDetailsPanel::titleText() const
{
    return m_title->text();
}

QString ProgrammeDetailsPanel::descriptionText() const
{
    return m_description->text();
}

void ProgrammeDetailsPanel::show(const QModelIndex &index)
{
    for (QLabel *shown : { m_title, m_when, m_episode, m_rating, m_categories, m_description })
        shown->clear();
    // Only a programme that has not ended can be recorded.
    const auto *grid = qobject_cast<const GuideGridModel *>(index.model());
    const qint64 now = grid ? grid->now() : QDateTime::currentSecsSinceEpoch();
    const bool recordable = index.isValid() && index.parent().isValid()
        && index.data(GuideGridModel::StopRole).toLongLong() > now;
    m_shown = recordable ? QPersistentModelIndex(index) : QPersistentModelIndex();
    m_record->setVisible(recordable);
    if (!index.isValid()) {
        m_title->setText(QStringLiteral("Escolha um programa para ver os detalhes."));
        return;
    }
    const QModelIndex channel = index.parent().isValid() ? index.parent() : index;
    const QString channelName = PlainText::line(channel.data().toString());
    if (!index.parent().isValid()) {
        m_title->setText(channelName);
        m_when->setText(QStringLiteral("Enter ou clique duplo sintoniza o canal."));
        return;
    }
    m_title->setText(PlainText::line(index.data().toString()));
    const QLocale portuguese(QLocale::Portuguese, QLocale::Brazil);
    const QDateTime start = QDateTime::fromSecsSinceEpoch(index.data(GuideGridModel::StartRole).toLongLong());
    const qint64 stop = index.data(GuideGridModel::StopRole).toLongLong();
    m_when->setText(
        QStringLiteral("%1, %2 a %3 · %4")
            .arg(portuguese.toString(start.toLocalTime().date(), QStringLiteral("dddd, dd/MM")),
                GuideGridModel::clock(start.toSecsSinceEpoch()), GuideGridModel::clock(stop), channelName));
    QStringList episode;
    for (const int role : { int(GuideGridModel::EpisodeRole), int(GuideGridModel::SubTitleRole) }) {
        const QString text = PlainText::line(index.data(role).toString());
        if (!text.isEmpty())
            episode << text;
    }
    m_episode->setText(episode.join(QStringLiteral(" · ")));
    m_rating->setText(PlainText::line(index.data(GuideGridModel::RatingRole).toString()));
    m_categories->setText(PlainText::line(
        index.data(GuideGridModel::CategoriesRole).toStringList().join(QStringLiteral(" · "))));
    // A description keeps its line breaks; it is still plain text.
    m_description->setText(index.data(GuideGridModel::DescriptionRole).toString());
    for (QLabel *optional : { m_episode, m_rating, m_categories, m_description })
        optional->setVisible(!optional->text().isEmpty());
}

#include "guide/XmlTvReader.h"

#include "base/Logging.h"
#include "guide/GuideStoreBuilder.h"
#include "guide/XmlTvTime.h"

#include <QXmlStreamReader>

namespace
{

bool isPortuguese(QStringView lang)
{
    return lang.startsWith(u"pt", Qt::CaseInsensitive) || lang.compare(u"por", Qt::CaseInsensitive) == 0;
}

// A text in several languages: Portuguese wins, then the first.
struct LocalisedText {
    QString text;
    bool portuguese = false;

    void offer(QString candidate, QStringView lang)
    {
        if (candidate.isEmpty())
            return;
        const bool pt = isPortuguese(lang);
        if (text.isEmpty() || (pt && !portuguese)) {
            text = std::move(candidate);
            portuguese = pt;
        }
    }
};

class Parse
{
public:
    Parse(GuideInput &input, const GuideReadOptions &options, GuideReadReport &report)
        : m_xml(&input)
        , m_options(options)
        , m_report(report)
        , m_offset(
              qint64(qBound(-XmlTvReader::MaxOffsetHours, options.offsetHours, XmlTvReader::MaxOffsetHours))
              * 3600)
        , m_builder(options.now - XmlTvReader::KeepBefore, options.now + XmlTvReader::KeepAfter, report)
    {
        m_xml.setNamespaceProcessing(false);
    }

    // False when the document is not a guide at all.
    bool run();
    std::unique_ptr<GuideStore> finish() { return m_builder.finish(); }
    QXmlStreamReader &xml() { return m_xml; }

private:
    QString text(int maxChars);
    void readIcon(QString &icon);
    void readChannel();
    void readProgramme();
    int channelFor(QStringView id);

    QXmlStreamReader m_xml;
    const GuideReadOptions &m_options;
    GuideReadReport &m_report;
    qint64 m_offset;
    GuideStoreBuilder m_builder;
    QString m_lastId; // programmes come grouped by channel: one lookup per group
    int m_lastChannel = -1;
};

QString Parse::text(int maxChars)
{
    QString value = m_xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    if (value.size() > maxChars) {
        qsizetype cut = maxChars;
        if (value[cut - 1].isHighSurrogate())
            --cut;
        value.truncate(cut);
        value += u'…';
        ++m_report.textsCut;
    }
    return value;
}

// The first <icon src> of an element wins.
void Parse::readIcon(QString &icon)
{
    if (icon.isEmpty())
        icon = m_xml.attributes()
                   .value(QLatin1String("src"))
                   .trimmed()
                   .left(XmlTvReader::MaxDescriptionChars)
                   .toString();
    m_xml.skipCurrentElement();
}

void Parse::readChannel()
{
    const QString id = m_xml.attributes().value(QLatin1String("id")).trimmed().toString();
    QStringList names;
    int portugueseNames = 0;
    QString icon;
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"display-name") {
            const QString lang = m_xml.attributes().value(QLatin1String("lang")).toString();
            const QString shown = text(XmlTvReader::MaxLineChars);
            if (shown.isEmpty())
                continue;
            // Portuguese names first: the first name is the one shown.
            if (isPortuguese(lang))
                names.insert(portugueseNames++, shown);
            else
                names.append(shown);
        } else if (name == u"icon") {
            readIcon(icon);
        } else {
            m_xml.skipCurrentElement();
        }
    }
    if (id.isEmpty()) {
        ++m_report.badChannels;
        return;
    }
    m_builder.addChannel(id, names, icon, m_options.wanted.wants(id, names));
}

int Parse::channelFor(QStringView id)
{
    if (m_lastChannel >= 0 && id == m_lastId)
        return m_lastChannel;
    m_lastId = id.toString();
    m_lastChannel = m_builder.channelIndex(m_lastId);
    // A programme of a channel the guide never described: its id is all there is.
    if (m_lastChannel < 0)
        m_lastChannel = m_builder.addChannel(m_lastId, {}, {}, m_options.wanted.wants(m_lastId, {}));
    return m_lastChannel;
}

void Parse::readProgramme()
{
    ++m_report.programmesSeen;
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const QStringView channelId = attributes.value(QLatin1String("channel")).trimmed();
    const std::optional<qint64> start = XmlTvTime::parse(attributes.value(QLatin1String("start")));
    if (channelId.isEmpty() || !start) {
        ++m_report.badProgrammes;
        m_xml.skipCurrentElement();
        return;
    }
    const int channel = channelFor(channelId);
    if (channel < 0 || !m_builder.isWanted(channel)) {
        ++m_report.programmesOfOtherChannels;
        m_xml.skipCurrentElement();
        return;
    }
    // A stop that is no time is as good as none: the next start ends it.
    const std::optional<qint64> stop = XmlTvTime::parse(attributes.value(QLatin1String("stop")));
    const qint64 begins = *start + m_offset;
    const qint64 ends = stop ? *stop + m_offset : GuideStoreBuilder::NoStop;
    if (begins >= m_options.now + XmlTvReader::KeepAfter
        || (stop && ends <= m_options.now - XmlTvReader::KeepBefore)) {
        ++m_report.programmesOutsideWindow;
        m_xml.skipCurrentElement();
        return;
    }

    LocalisedText title, subTitle, description;
    QStringList categories;
    QString episode;
    bool episodeIsXmltv = false;
    QString rating;
    QString icon;
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"title") {
            const QString lang = m_xml.attributes().value(QLatin1String("lang")).toString();
            title.offer(text(XmlTvReader::MaxLineChars), lang);
        } else if (name == u"sub-title") {
            const QString lang = m_xml.attributes().value(QLatin1String("lang")).toString();
            subTitle.offer(text(XmlTvReader::MaxLineChars), lang);
        } else if (name == u"desc") {
            const QString lang = m_xml.attributes().value(QLatin1String("lang")).toString();
            description.offer(text(XmlTvReader::MaxDescriptionChars), lang);
        } else if (name == u"category") {
            QString category = text(XmlTvReader::MaxLineChars);
            if (!category.isEmpty() && !categories.contains(category)
                && categories.size() < XmlTvReader::MaxCategories)
                categories.append(std::move(category));
        } else if (name == u"episode-num") {
            const QString system = m_xml.attributes().value(QLatin1String("system")).toString();
            const QString shown = XmlTvReader::episodeText(system, text(XmlTvReader::MaxLineChars));
            const bool xmltv = system == u"xmltv_ns";
            if (!shown.isEmpty() && (episode.isEmpty() || (xmltv && !episodeIsXmltv))) {
                episode = shown;
                episodeIsXmltv = xmltv;
            }
        } else if (name == u"rating" && rating.isEmpty()) {
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() == u"value" && rating.isEmpty())
                    rating = text(XmlTvReader::MaxLineChars);
                else
                    m_xml.skipCurrentElement();
            }
        } else if (name == u"icon") {
            readIcon(icon);
        } else {
            m_xml.skipCurrentElement();
        }
    }
    if (m_xml.hasError())
        return; // a programme cut off by the end of the file or broken XML is not kept

    GuideStore::Programme texts;
    texts.title = m_builder.text(title.text);
    texts.subTitle = m_builder.text(subTitle.text);
    texts.description = m_builder.text(description.text);
    texts.categories = m_builder.text(categories.join(QChar(GuideStore::CategorySeparator)));
    texts.episode = m_builder.text(episode);
    texts.rating = m_builder.text(rating);
    texts.icon = m_builder.text(icon);
    m_builder.addProgramme(channel, begins, ends, texts);
}

bool Parse::run()
{
    if (!m_xml.readNextStartElement())
        return false;
    if (m_xml.name() != u"tv")
        return false;
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"programme")
            readProgramme();
        else if (name == u"channel")
            readChannel();
        else
            m_xml.skipCurrentElement();
    }
    return true;
}

QString describeStop(const GuideInput &input, QXmlStreamReader &xml, bool isGuide, GuideReadReport &report)
{
    const QString cut
        = QStringLiteral("O guia terminou antes do fim (arquivo cortado); o que veio antes foi lido.");
    if (input.wasCancelled()) {
        report.cancelled = true;
        return QStringLiteral("A leitura do guia foi interrompida.");
    }
    report.cut = input.wasCut() || xml.error() == QXmlStreamReader::PrematureEndOfDocumentError;
    if (!input.failure().isEmpty())
        return input.failure();
    if (input.decodedBytes() == 0)
        return input.wasCut() ? cut : QStringLiteral("O arquivo do guia está vazio.");
    if (!isGuide) {
        report.cut = false;
        return QStringLiteral("O arquivo não é um guia XMLTV.");
    }
    if (report.cut)
        return cut;
    if (xml.hasError()) {
        qCInfo(lumiGuide) << "guide XML error at line" << xml.lineNumber() << xml.errorString();
        return QStringLiteral("O guia tem um erro de XML na linha %1; o que veio antes foi lido.")
            .arg(xml.lineNumber());
    }
    return {};
}

} // namespace

XmlTvReader::Result XmlTvReader::read(
    QIODevice *source, const GuideReadOptions &options, GuideReadObserver *observer)
{
    Result result;
    GuideInput input(source, observer, options.maxDecodedBytes);
    Parse parse(input, options, result.report);
    const bool isGuide = parse.run();
    result.report.error = describeStop(input, parse.xml(), isGuide, result.report);
    result.report.compression = input.compression();
    result.report.bytesRead = input.storedBytesRead();
    result.report.bytesDecoded = input.decodedBytes();
    result.report.entitiesRepaired = input.repair().entitiesRepaired();
    result.report.textsCut += input.repair().runsCut();
    result.store = parse.finish();
    if (!result.store)
        result.store = std::make_unique<GuideStore>();
    return result;
}

QString XmlTvReader::episodeText(QStringView system, QStringView number)
{
    number = number.trimmed();
    if (system.compare(u"onscreen", Qt::CaseInsensitive) == 0)
        return number.left(MaxLineChars).toString();
    if (system.compare(u"xmltv_ns", Qt::CaseInsensitive) != 0)
        return {};
    // "season.episode.part", each zero-based and maybe "n/total".
    const QList<QStringView> parts = number.split(u'.');
    auto ordinal = [&parts](int i) -> int {
        if (i >= parts.size())
            return 0;
        bool ok = false;
        const int value = parts[i].split(u'/').first().trimmed().toInt(&ok);
        return ok && value >= 0 && value < 100000 ? value + 1 : 0;
    };
    const int season = ordinal(0);
    const int episode = ordinal(1);
    QStringList shown;
    if (season)
        shown << QStringLiteral("T%1").arg(season);
    if (episode)
        shown << QStringLiteral("E%1").arg(episode);
    return shown.join(u' ');
}

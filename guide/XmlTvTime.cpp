#include "guide/XmlTvTime.h"

namespace
{

bool readNumber(QStringView text, qsizetype at, int digits, int *value)
{
    int v = 0;
    for (int i = 0; i < digits; ++i) {
        const QChar c = text[at + i];
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    *value = v;
    return true;
}

bool isLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
qint64 daysFromCivil(int year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// "+hhmm", "-hh:mm", "+hh", "Z", "UTC", "GMT": seconds east of UTC.
std::optional<int> readOffset(QStringView text)
{
    if (text.isEmpty() || text == u"Z" || text.compare(u"UTC", Qt::CaseInsensitive) == 0
        || text.compare(u"GMT", Qt::CaseInsensitive) == 0)
        return 0;
    const QChar sign = text[0];
    if (sign != u'+' && sign != u'-')
        return std::nullopt;
    QStringView rest = text.sliced(1);
    int hours = 0;
    int minutes = 0;
    if (rest.size() == 5 && rest[2] == u':') {
        if (!readNumber(rest, 0, 2, &hours) || !readNumber(rest, 3, 2, &minutes))
            return std::nullopt;
    } else if (rest.size() == 4) {
        if (!readNumber(rest, 0, 2, &hours) || !readNumber(rest, 2, 2, &minutes))
            return std::nullopt;
    } else if (rest.size() == 2) {
        if (!readNumber(rest, 0, 2, &hours))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (hours > 14 || minutes > 59)
        return std::nullopt;
    const int seconds = hours * 3600 + minutes * 60;
    return sign == u'-' ? -seconds : seconds;
}

} // namespace

std::optional<qint64> XmlTvTime::parse(QStringView text)
{
    text = text.trimmed();
    qsizetype digits = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9')
        ++digits;
    if (digits != 8 && digits != 10 && digits != 12 && digits != 14)
        return std::nullopt;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    readNumber(text, 0, 4, &year);
    readNumber(text, 4, 2, &month);
    readNumber(text, 6, 2, &day);
    if (digits >= 10)
        readNumber(text, 8, 2, &hour);
    if (digits >= 12)
        readNumber(text, 10, 2, &minute);
    if (digits >= 14)
        readNumber(text, 12, 2, &second);
    if (year < 1900 || year > 2999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)
        || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    const std::optional<int> offset = readOffset(text.sliced(digits).trimmed());
    if (!offset)
        return std::nullopt;
    const qint64 seconds
        = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + qMin(second, 59);
    return seconds - *offset;
}

#include "foundation/string_helpers.h"

#include "foundation/language.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>

qsizetype FindLastOf(QStringView text, QStringView set)
{
    for (qsizetype i = text.size() - 1; i >= 0; --i)
        if (set.contains(text.at(i)))
            return i;
    return -1;
}

qsizetype FindSubstring(const QString& haystack, const QString& needle)
{
    if (needle.isEmpty())
        return 0;
    return haystack.indexOf(needle, 0, Qt::CaseSensitive);
}

QString TruncateAtSubstring(QString& s, const QString& sub)
{
    const qsizetype at = FindSubstring(s, sub);
    if (at >= 0)
        s.truncate(at);
    return s;
}

int StringToInt(const QString& s)
{
    const QByteArray bytes = s.toLocal8Bit();
    const char* p = bytes.constData();
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break; // far enough to know it is clamped
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

void AssignAnsiString(QString& s, const char* text)
{
    if (!text || !*text) {
        s.clear();
        return;
    }
    s = QString::fromLocal8Bit(text);
}

void FormatDistanceWith(double metres, int kilometreDecimals, QString& text)
{
    const int language = g_language;
    if (language != LANGUAGE_ENGLISH && language != LANGUAGE_RUSSIAN)
        return;
    const bool russian = language == LANGUAGE_RUSSIAN;
    if (metres < 1000.0) {
        // Truncated toward zero; kept inside int so absurd inputs cannot overflow.
        const double whole = std::fmax(std::trunc(metres), static_cast<double>(INT_MIN));
        text = QString::number(static_cast<int>(whole))
            + (russian ? QStringLiteral("м") : QStringLiteral("m"));
        return;
    }
    // Kilometres rounded as printf rounds, but always with a point whatever the
    // process locale says.
    char buffer[400];
    const auto result = std::to_chars(
        buffer, buffer + sizeof buffer, metres * 0.001, std::chars_format::fixed, kilometreDecimals);
    text = QString::fromLatin1(buffer, result.ptr - buffer)
        + (russian ? QStringLiteral("км") : QStringLiteral("km"));
}

void FormatDistance(double metres, QString& text) { FormatDistanceWith(metres, 1, text); }

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

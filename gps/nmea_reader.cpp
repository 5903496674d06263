#include "gps/nmea_reader.h"

#include "foundation/string_helpers.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPowersOfTen[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13,
    1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Two decimal digits at `text`, which the caller has checked are digits.
int TwoDigits(const char* text) { return (text[0] - '0') * 10 + (text[1] - '0'); }

// A field that must exist (an empty one does): the sentence must not end before it.
bool Get(const NmeaFields& fields, int index, std::string_view* field)
{
    if (!fields.Has(index))
        return false;
    *field = fields[index];
    return true;
}

bool ParseNumber(std::string_view field, int32_t* value) { return NmeaParseInt(field, value); }
bool ParseNumber(std::string_view field, double* value) { return NmeaParseDouble(field, value); }

// A number field that exists, parses and lies in [low, high].
template <typename T> bool GetNumber(const NmeaFields& fields, int index, T low, T high, T* value)
{
    std::string_view field;
    T v {};
    if (!Get(fields, index, &field) || !ParseNumber(field, &v) || v < low || v > high)
        return false;
    *value = v;
    return true;
}

bool GetLatLon(const NmeaFields& fields, int first, CGeoPos& position)
{
    if (!fields.Has(first + 3))
        return false;
    const std::string_view four[4]
        = { fields[first], fields[first + 1], fields[first + 2], fields[first + 3] };
    return NmeaParseLatLon(four, position);
}

// Degrees of `degreeDigits` digits and the minutes after them; an empty field is 0° 0'.
bool ParseDegreesMinutes(std::string_view field, size_t degreeDigits, int* degrees, double* minutes)
{
    if (field.empty()) {
        *degrees = 0;
        *minutes = 0.0;
        return true;
    }
    if (field.size() <= degreeDigits)
        return false;
    int d = 0;
    for (size_t i = 0; i < degreeDigits; ++i) {
        if (!IsDigit(field[i]))
            return false;
        d = d * 10 + (field[i] - '0');
    }
    const std::string_view rest = field.substr(degreeDigits);
    double m = 0.0;
    if (rest[0] == '-' || !NmeaParseDouble(rest, &m) || m > 60.0)
        return false;
    *degrees = d;
    *minutes = m;
    return true;
}

bool ParseHemisphere(std::string_view field, char positive, char negative, char* letter)
{
    if (field.size() > 1)
        return false;
    const char c = NmeaParseChar(field);
    if (c != positive && c != negative && c != ' ')
        return false;
    *letter = c;
    return true;
}

// Six digits, then optionally a point and more digits (fractions, ignored).
bool SixDigitsAndFraction(std::string_view field)
{
    if (field.size() < 6)
        return false;
    for (size_t i = 0; i < 6; ++i) {
        if (!IsDigit(field[i]))
            return false;
    }
    if (field.size() == 6)
        return true;
    if (field[6] != '.')
        return false;
    for (size_t i = 7; i < field.size(); ++i) {
        if (!IsDigit(field[i]))
            return false;
    }
    return true;
}

// The two-letter talkers of the satellite systems, in the order of the reader's table.
int TalkerIndex(char a, char b)
{
    static constexpr char kTalkers[][3] = { "GP", "GN", "GL", "GA", "GB", "BD", "GQ", "QZ", "GI" };
    for (int i = 0; i < static_cast<int>(std::size(kTalkers)); ++i) {
        if (kTalkers[i][0] == a && kTalkers[i][1] == b)
            return i;
    }
    return -1;
}

enum class SentenceEnd { TERMINATOR, DOLLAR, OVERLONG, NEED_MORE };

// Looks from `p` for the end of a sentence that holds `have` characters so far.
SentenceEnd FindSentenceEnd(const char* p, const char* end, size_t have, const char** at)
{
    const size_t room = CNmeaReader::MAX_SENTENCE - have;
    const char* limit = static_cast<size_t>(end - p) > room ? p + room : end;
    const char* q = p;
    // Eight bytes at a time while none of them can end the sentence.
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    const auto hasByte = [](uint64_t word, unsigned char c) {
        const uint64_t x = word ^ (kOnes * c);
        return ((x - kOnes) & ~x & kHighs) != 0;
    };
    for (; limit - q >= 8; q += 8) {
        uint64_t word = 0;
        std::memcpy(&word, q, 8);
        if (hasByte(word, '\r') || hasByte(word, '\n') || hasByte(word, '$'))
            break;
    }
    for (; q < limit; ++q) {
        const char c = *q;
        if (c == '\r' || c == '\n') {
            *at = q;
            return SentenceEnd::TERMINATOR;
        }
        if (c == '$') {
            *at = q;
            return SentenceEnd::DOLLAR;
        }
    }
    *at = q;
    if (q == end)
        return SentenceEnd::NEED_MORE;
    // The sentence is as long as it may be: only its end may follow.
    if (*q == '\r' || *q == '\n')
        return SentenceEnd::TERMINATOR;
    return *q == '$' ? SentenceEnd::DOLLAR : SentenceEnd::OVERLONG;
}

} // namespace

NmeaFields::NmeaFields(std::string_view data)
{
    const char* start = data.data();
    const char* const end = start + data.size();
    for (const char* q = start; q < end; ++q) {
        if (*q == ',') {
            Add(start, q);
            start = q + 1;
        }
    }
    Add(start, end);
}

bool NmeaParseInt(std::string_view field, int32_t* value)
{
    if (field.empty()) {
        *value = 0;
        return true;
    }
    size_t i = 0;
    const bool negative = field[0] == '-';
    if (negative)
        ++i;
    // Nine digits always fit; a receiver sends no longer integers.
    if (i == field.size() || field.size() - i > 9)
        return false;
    int32_t v = 0;
    for (; i < field.size(); ++i) {
        if (!IsDigit(field[i]))
            return false;
        v = v * 10 + (field[i] - '0');
    }
    *value = negative ? -v : v;
    return true;
}

bool NmeaParseDouble(std::string_view field, double* value)
{
    if (field.empty()) {
        *value = 0.0;
        return true;
    }
    size_t i = 0;
    const bool negative = field[0] == '-';
    if (negative)
        ++i;
    uint64_t mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    bool point = false;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (IsDigit(c)) {
            if (digits < 19)
                mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
            ++digits;
            if (point)
                ++fractionDigits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    if (digits <= 15) {
        // Both operands are exact, so the one rounding of the division gives
        // the nearest double, as a full decimal conversion would.
        const double v = static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
        *value = negative ? -v : v;
        return true;
    }
    double v = 0.0;
    const auto [end, error]
        = std::from_chars(field.data(), field.data() + field.size(), v, std::chars_format::fixed);
    if (error != std::errc() || end != field.data() + field.size())
        return false;
    *value = v;
    return true;
}

char NmeaParseChar(std::string_view field) { return field.empty() ? ' ' : field[0]; }

bool NmeaParseLatLon(std::span<const std::string_view, 4> fields, CGeoPos& position)
{
    int latDegrees = 0, lonDegrees = 0;
    double latMinutes = 0.0, lonMinutes = 0.0;
    char ns = ' ', ew = ' ';
    if (!ParseDegreesMinutes(fields[0], 2, &latDegrees, &latMinutes)
        || !ParseHemisphere(fields[1], 'N', 'S', &ns)
        || !ParseDegreesMinutes(fields[2], 3, &lonDegrees, &lonMinutes)
        || !ParseHemisphere(fields[3], 'E', 'W', &ew))
        return false;
    return position.SetFromNmea(latDegrees, latMinutes, ns, lonDegrees, lonMinutes, ew);
}

bool NmeaParseTime(std::string_view field, CGpsFix& fix)
{
    if (field.empty())
        return true;
    if (!SixDigitsAndFraction(field))
        return false;
    const int hour = TwoDigits(field.data()), minute = TwoDigits(field.data() + 2),
              second = TwoDigits(field.data() + 4);
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    GpsCalendarTime time = fix.GetUtcTime();
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    fix.SetUtcTime(time);
    return true;
}

bool NmeaParseDate(std::string_view field, CGpsFix& fix)
{
    if (field.empty())
        return true;
    if (field.size() != 6 || !SixDigitsAndFraction(field))
        return false;
    const int day = TwoDigits(field.data()), month = TwoDigits(field.data() + 2),
              yy = TwoDigits(field.data() + 4);
    if (day < 1 || day > 31 || month < 1 || month > 12)
        return false;
    GpsCalendarTime time = fix.GetUtcTime();
    time.year = yy < 70 ? 2000 + yy : 1900 + yy;
    time.month = month;
    time.day = day;
    fix.SetUtcTime(time);
    return true;
}

bool NmeaParseSatellite(std::span<const std::string_view, 4> fields, GpsSatellite& slot)
{
    int32_t prn = 0, elevation = 0, azimuth = 0, snr = 0;
    if (!NmeaParseInt(fields[0], &prn) || prn < 0 || prn > 999 || !NmeaParseInt(fields[1], &elevation)
        || elevation < -90 || elevation > 90 || !NmeaParseInt(fields[2], &azimuth) || azimuth < 0
        || azimuth > 360 || !NmeaParseInt(fields[3], &snr) || snr < 0 || snr > 99)
        return false;
    slot = { prn, snr, elevation, azimuth };
    return true;
}

int CNmeaReader::Feed(std::string_view bytes, CGpsFix& fix)
{
    const uint64_t before = m_accepted;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    const char* at = nullptr;

    if (m_partialSize > 0 && p < end) {
        const SentenceEnd found = FindSentenceEnd(p, end, m_partialSize, &at);
        switch (found) {
        case SentenceEnd::TERMINATOR:
            std::memcpy(m_partial.data() + m_partialSize, p, static_cast<size_t>(at - p));
            Sentence(std::string_view(m_partial.data(), m_partialSize + static_cast<size_t>(at - p)), fix);
            p = at + 1;
            break;
        case SentenceEnd::NEED_MORE:
            std::memcpy(m_partial.data() + m_partialSize, p, static_cast<size_t>(end - p));
            m_partialSize += static_cast<size_t>(end - p);
            return static_cast<int>(m_accepted - before);
        case SentenceEnd::DOLLAR:
        case SentenceEnd::OVERLONG:
            ++m_refused;
            p = at;
            break;
        }
        m_partialSize = 0;
    }

    while (p < end) {
        // Most often the next sentence follows its predecessor's CR LF at once.
        while (p < end && (*p == '\n' || *p == '\r'))
            ++p;
        const char* dollar = p < end && *p == '$'
            ? p
            : static_cast<const char*>(std::memchr(p, '$', static_cast<size_t>(end - p)));
        if (!dollar)
            break;
        switch (FindSentenceEnd(dollar + 1, end, 1, &at)) {
        case SentenceEnd::TERMINATOR:
            Sentence(std::string_view(dollar, static_cast<size_t>(at - dollar)), fix);
            p = at + 1;
            break;
        case SentenceEnd::NEED_MORE:
            m_partialSize = static_cast<size_t>(end - dollar);
            std::memcpy(m_partial.data(), dollar, m_partialSize);
            p = end;
            break;
        case SentenceEnd::DOLLAR:
        case SentenceEnd::OVERLONG:
            ++m_refused;
            p = at;
            break;
        }
    }
    return static_cast<int>(m_accepted - before);
}

void CNmeaReader::Reset()
{
    m_partialSize = 0;
    m_lastSeconds = m_previousSeconds = -45;
    m_rmcSeen = false;
    m_inView.fill(0);
}

void CNmeaReader::Sentence(std::string_view sentence, CGpsFix& fix)
{
    // Printable text only; the checksum covers everything between '$' and
    // '*'. The fields are cut in the same pass.
    const char* const data = sentence.data() + 1;
    const char* const end = sentence.data() + sentence.size();
    NmeaFields fields;
    const char* field = data;
    const char* q = data;
    unsigned sum = 0;
    for (; q < end && *q != '*'; ++q) {
        const unsigned char c = static_cast<unsigned char>(*q);
        if (c < 0x20 || c > 0x7E) {
            ++m_refused;
            return;
        }
        sum ^= c;
        if (c == ',') {
            fields.Add(field, q);
            field = q + 1;
        }
    }
    fields.Add(field, q);
    if (q < end) {
        const int high = end - q == 3 ? HexDigitValue(q[1]) : -1;
        const int low = high >= 0 ? HexDigitValue(q[2]) : -1;
        if (low < 0 || static_cast<unsigned>(high * 16 + low) != sum) {
            ++m_refused;
            return;
        }
    }
    ++m_accepted;
    Dispatch(fields, fix);
}

void CNmeaReader::Dispatch(const NmeaFields& fields, CGpsFix& fix)
{
    const std::string_view address = fields[0];
    if (address.size() != 5)
        return;
    if (address == "PGRMZ") {
        NmeaParsePgrmz(fields, fix);
        return;
    }
    const int talker = TalkerIndex(address[0], address[1]);
    if (talker < 0)
        return;
    const std::string_view type = address.substr(2, 3);
    if (type == "RMC")
        NmeaParseRmc(fields, fix);
    else if (type == "GGA")
        NmeaParseGga(fields, fix);
    else if (type == "GSA")
        NmeaParseGsa(fields, fix);
    else if (type == "GSV")
        NmeaParseGsv(fields, talker, fix);
    else if (type == "GLL")
        NmeaParseGll(fields, fix);
    else if (type == "VTG")
        NmeaParseVtg(fields, fix);
}

bool CNmeaReader::NmeaParseRmc(const NmeaFields& fields, CGpsFix& fix)
{
    m_rmcSeen = true;
    std::string_view field;
    if (!Get(fields, 1, &field) || !NmeaParseTime(field, fix) || !Get(fields, 2, &field))
        return false;
    // Anything but a receiver's 'A' is no fix.
    fix.m_status = NmeaParseChar(field) == 'A' ? 'A' : 'V';
    double speed = 0.0, course = 0.0;
    if (!GetLatLon(fields, 3, fix) || !GetNumber(fields, 7, 0.0, 100000.0, &speed))
        return false;
    fix.m_speedKnots = speed;
    if (!GetNumber(fields, 8, 0.0, 360.0, &course))
        return false;
    fix.m_course = course;
    if (!Get(fields, 9, &field) || !NmeaParseDate(field, fix))
        return false;
    UpdateInterval(fix);
    return true;
}

void CNmeaReader::UpdateInterval(CGpsFix& fix)
{
    GpsCalendarTime time;
    const int seconds = fix.m_dateTime.IsValid() && fix.m_dateTime.ToCalendar(&time) ? time.second : -1;
    const int step = std::abs(seconds - m_lastSeconds);
    const int previousStep = std::abs(m_lastSeconds - m_previousSeconds);
    if (step >= 1 && step <= 15 && step == previousStep)
        fix.m_sentenceInterval = step;
    m_previousSeconds = m_lastSeconds;
    m_lastSeconds = seconds;
}

bool CNmeaReader::NmeaParseGga(const NmeaFields& fields, CGpsFix& fix)
{
    // A receiver without RMC says through the fix quality whether it has a fix.
    int32_t quality = 0;
    const bool qualityKnown = !m_rmcSeen && fields[6].size() > 0 && GetNumber(fields, 6, 0, 9, &quality);
    if (qualityKnown && quality == 0)
        fix.m_status = 'V';
    std::string_view field;
    if (!Get(fields, 1, &field) || !NmeaParseTime(field, fix) || !GetLatLon(fields, 2, fix))
        return false;
    if (qualityKnown && quality > 0)
        fix.m_status = 'A';
    int32_t used = 0;
    double hdop = 0.0, altitude = 0.0;
    if (!GetNumber(fields, 7, 0, 99, &used))
        return false;
    fix.m_satellitesUsed = used;
    if (!GetNumber(fields, 8, 0.0, 100.0, &hdop))
        return false;
    fix.m_hdop = hdop;
    if (!GetNumber(fields, 9, -100000.0, 1000000.0, &altitude))
        return false;
    fix.m_altitude = altitude;
    if (!Get(fields, 10, &field))
        return false;
    fix.m_altitudeUnit = NmeaParseChar(field);
    return true;
}

bool CNmeaReader::NmeaParseGsa(const NmeaFields& fields, CGpsFix& fix)
{
    int32_t mode = 0;
    if (!GetNumber(fields, 2, 1, 3, &mode))
        return false;
    fix.m_fixMode = mode;
    for (int i = 0; i < CGpsFix::SATELLITE_SLOTS; ++i) {
        int32_t prn = 0;
        if (!GetNumber(fields, 3 + i, 0, 999, &prn))
            return false;
        fix.m_usedPrns[i] = prn;
    }
    double dop = 0.0;
    if (!GetNumber(fields, 15, 0.0, 100.0, &dop))
        return false;
    fix.m_pdop = dop;
    if (!GetNumber(fields, 16, 0.0, 100.0, &dop))
        return false;
    fix.m_hdop = dop;
    if (!GetNumber(fields, 17, 0.0, 100.0, &dop))
        return false;
    fix.m_vdop = dop;
    return true;
}

bool CNmeaReader::NmeaParseGsv(const NmeaFields& fields, int talker, CGpsFix& fix)
{
    int32_t message = 0, inView = 0;
    if (!GetNumber(fields, 2, 1, 99, &message) || !GetNumber(fields, 3, 0, 99, &inView))
        return false;
    m_inView[static_cast<size_t>(talker)] = inView;
    int32_t total = 0;
    for (int32_t n : m_inView)
        total += n;
    fix.m_satellitesInView = total;
    if (message > 3)
        return true;
    for (int i = 0; i < 4; ++i) {
        const int first = 4 + 4 * i;
        if (!fields.Has(first))
            break;
        if (!fields.Has(first + 3))
            return false;
        const std::string_view four[4]
            = { fields[first], fields[first + 1], fields[first + 2], fields[first + 3] };
        if (!NmeaParseSatellite(four, fix.m_satellites[(message - 1) * 4 + i]))
            return false;
    }
    return true;
}

bool CNmeaReader::NmeaParseGll(const NmeaFields& fields, CGpsFix& fix)
{
    std::string_view field;
    return GetLatLon(fields, 1, fix) && Get(fields, 5, &field) && NmeaParseTime(field, fix);
}

bool CNmeaReader::NmeaParseVtg(const NmeaFields& fields, CGpsFix& fix)
{
    // RMC carries the same; VTG speaks only for receivers that send no RMC,
    // and only in the form that marks its fields ("054.7,T,034.4,M,...").
    if (m_rmcSeen || fields[2] != "T" || fields[6] != "N")
        return true;
    if (fields[9] == "N")
        return true; // the receiver says the values are not valid
    double course = 0.0, speed = 0.0;
    if (!fields[1].empty()) {
        if (!GetNumber(fields, 1, 0.0, 360.0, &course))
            return false;
        fix.m_course = course;
    }
    if (!fields[5].empty()) {
        if (!GetNumber(fields, 5, 0.0, 100000.0, &speed))
            return false;
        fix.m_speedKnots = speed;
    }
    return true;
}

bool CNmeaReader::NmeaParsePgrmz(const NmeaFields& fields, CGpsFix& fix)
{
    double altitude = 0.0;
    if (!GetNumber(fields, 1, -1000000.0, 10000000.0, &altitude))
        return false;
    fix.m_pgrmzAltitude = altitude;
    return true;
}

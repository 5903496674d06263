#pragma once
// The NMEA 0183 reader: cuts the bytes of a receiver (or of a log) into
// sentences and lets the sentence parsers write straight into a fix.
//
// A sentence runs from '$' to its CR or LF (either ends it, so CR-LF and
// LF-only logs read alike) and is at most 82 characters long from '$' through
// its checksum. A checksum, when the sentence carries one, must match, or the
// sentence is refused; so is a sentence cut short by another '$' or one that
// runs on past 82 characters. Every sentence that has its terminator is parsed
// at once; only an unfinished one waits for the next read.
//
// Sentences read: RMC, GGA, GSA, GSV and GLL from any satellite-system talker
// (GP, GN, GL, GA, GB, BD, GQ, QZ, GI), Garmin's PGRMZ, and, from receivers
// that send no RMC, VTG. Fields are parsed strictly and without regard to the
// locale: a number is an optional minus, digits and at most one point; a field
// that does not parse, or lies outside its range, ends the sentence, and the
// fields before it stay written.
#include "gps/gps_fix.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The fields of one sentence: field 0 is the address ("GPRMC"), field n the
// text after the n-th comma, up to the next comma or the end of the data (the
// checksum is not part of any field).
class NmeaFields {
public:
    enum : int { MAX_FIELDS = 48 };

    // Splits a sentence's data (the text between '$' and '*' or its end).
    explicit NmeaFields(std::string_view data);
    int Count() const { return m_count; }
    bool Has(int index) const { return index >= 0 && index < m_count; }
    // The field's text; empty for a field the sentence does not have.
    std::string_view operator[](int index) const { return Has(index) ? m_fields[index] : std::string_view(); }

private:
    friend class CNmeaReader;
    NmeaFields() = default;
    // A field ends where the next begins: the reader splits while it checks a sentence.
    void Add(const char* begin, const char* end)
    {
        if (m_count < MAX_FIELDS)
            m_fields[m_count++] = std::string_view(begin, static_cast<size_t>(end - begin));
    }

    std::array<std::string_view, MAX_FIELDS> m_fields;
    int m_count = 0;
};

// Field parsers. Each reads one field; an empty field gives 0 (numbers) or
// ' ' (a character) and succeeds; a malformed one fails and leaves the output alone.
bool NmeaParseInt(std::string_view field, int32_t* value);
bool NmeaParseDouble(std::string_view field, double* value);
char NmeaParseChar(std::string_view field);
// Latitude, N/S, longitude, E/W (four fields) into the position. Degrees are
// the field's first two (three) digits, the minutes all the rest; a position
// with an empty hemisphere fails and leaves the position unchanged.
bool NmeaParseLatLon(std::span<const std::string_view, 4> fields, CGeoPos& position);
// hhmmss with optional fractions (ignored), and ddmmyy (years 1970-2069).
// Both replace their part of the fix's UTC date and time; an empty field
// changes nothing and succeeds.
bool NmeaParseTime(std::string_view field, CGpsFix& fix);
bool NmeaParseDate(std::string_view field, CGpsFix& fix);
// PRN, elevation, azimuth and signal-to-noise ratio (four fields) into a slot.
bool NmeaParseSatellite(std::span<const std::string_view, 4> fields, GpsSatellite& slot);

class CNmeaReader {
public:
    // From '$' through the checksum.
    enum : int { MAX_SENTENCE = 82 };

    CNmeaReader() = default;

    // Reads bytes as they came from the source and parses every sentence they
    // complete into the fix. Returns the number of sentences accepted.
    int Feed(std::string_view bytes, CGpsFix& fix);
    int Feed(std::span<const uint8_t> bytes, CGpsFix& fix)
    {
        return Feed(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), fix);
    }
    // Forgets an unfinished sentence and everything learnt about the receiver,
    // for a new source.
    void Reset();

    // Sentences accepted (well formed, any type) and refused (bad checksum,
    // cut short, too long) since construction.
    uint64_t Accepted() const { return m_accepted; }
    uint64_t Refused() const { return m_refused; }
    // Bytes of an unfinished sentence waiting for the next read.
    size_t PendingBytes() const { return m_partialSize; }

    // The sentence parsers: the fields of one accepted sentence into the fix;
    // true when every field they read parsed.
    bool NmeaParseRmc(const NmeaFields& fields, CGpsFix& fix);
    bool NmeaParseGga(const NmeaFields& fields, CGpsFix& fix);
    bool NmeaParseGsa(const NmeaFields& fields, CGpsFix& fix);
    bool NmeaParseGsv(const NmeaFields& fields, int talker, CGpsFix& fix);
    bool NmeaParseGll(const NmeaFields& fields, CGpsFix& fix);
    bool NmeaParseVtg(const NmeaFields& fields, CGpsFix& fix);
    bool NmeaParsePgrmz(const NmeaFields& fields, CGpsFix& fix);

private:
    enum : int { TALKERS = 9 };

    // One whole sentence, '$' included, terminator excluded.
    void Sentence(std::string_view sentence, CGpsFix& fix);
    void Dispatch(const NmeaFields& fields, CGpsFix& fix);
    void UpdateInterval(CGpsFix& fix);

    std::array<char, MAX_SENTENCE> m_partial {};
    size_t m_partialSize = 0;
    uint64_t m_accepted = 0;
    uint64_t m_refused = 0;

    // The RMC interval rule: the seconds of the last two RMC sentences.
    int m_lastSeconds = -45;
    int m_previousSeconds = -45;
    // Once a receiver sends RMC, it alone says whether there is a fix and how
    // fast and where the receiver moves; until then GGA and VTG stand in.
    bool m_rmcSeen = false;
    // Satellites in view per satellite system; the fix holds their sum.
    std::array<int32_t, TALKERS> m_inView {};
};

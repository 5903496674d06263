#include "traffic/provider_protocol.h"

#include "foundation/string_helpers.h"
#include "platform/archive.h"

#include <charconv>
#include <span>

namespace {

constexpr std::string_view kJamBodyPrefix = "00110001B0";
constexpr size_t kJamBytes = kJamCellCount / 2;
constexpr size_t kMaxBody = 4095;
constexpr size_t kMaxMessage = 511;

// The hexadecimal pair at `at`, or -1.
int HexPair(std::string_view text, size_t at)
{
    if (at + 2 > text.size())
        return -1;
    const int hi = HexDigitValue(text[at]);
    const int lo = HexDigitValue(text[at + 1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

bool AllDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

std::string UidDigits(uint64_t uid) { return std::to_string(uid); }

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A token that can go back into a request line: visible ASCII only.
bool IsToken(std::string_view s)
{
    for (const char c : s)
        if (c < 0x21 || c > 0x7E)
            return false;
    return true;
}

std::string Ansi(const QString& text, size_t limit)
{
    return platform::EncodeWindows1251(text).substr(0, limit);
}

std::string RequestHead(const ProviderAccount& account)
{
    return "GET /roadinfo.txt HTTP/1.0\r\nHost:" + Ansi(account.host, 254) + "\r\nUser-Agent:"
        + kProviderUserAgent + "\r\nPragma:no-cache\r\nUID:" + UidDigits(account.uid) + "\r\n";
}

} // namespace

std::optional<ProviderAccount> ParseProviderConfiguration(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char('\n'));
    if (fields.size() != 5 || fields[0].size() != 1 || fields[1].size() >= 256 || fields[4].size() >= 41
        || !AllDigits(fields[2]) || !AllDigits(fields[3]))
        return std::nullopt;
    bool ok = false;
    const uint port = fields[2].toUInt(&ok);
    if (!ok || port > 0xFFFF)
        return std::nullopt;
    ProviderAccount account;
    account.uid = fields[3].toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    account.defaultServer = fields[0] != QLatin1String("0");
    account.host = fields[1];
    account.port = static_cast<uint16_t>(port);
    account.pin = fields[4];
    return account;
}

QString ProviderConfiguration(
    bool defaultServer, const QString& host, uint16_t port, uint64_t uid, const QString& pin)
{
    return QString::number(defaultServer ? 1 : 0) + u'\n' + host + u'\n' + QString::number(port) + u'\n'
        + QString::number(uid) + u'\n' + pin;
}

std::string EncodeProviderPin(const QString& pin, uint64_t uid)
{
    const std::string digits = UidDigits(uid);
    std::string encoded;
    for (qsizetype i = 0; i < pin.size(); ++i) {
        const unsigned value
            = static_cast<unsigned char>(digits[static_cast<size_t>(i) % digits.size()]) ^ pin[i].unicode();
        char piece[8];
        std::snprintf(piece, sizeof piece, "%.2X", value);
        encoded += piece;
    }
    return encoded;
}

std::string BuildProviderRequestA(const ProviderAccount& account, const std::string& guid)
{
    return RequestHead(account) + "PIN:" + EncodeProviderPin(account.pin, account.uid)
        + "\r\nGUID:" + guid.substr(0, 254) + "\r\nCMD:11\r\n\r\n";
}

std::string BuildProviderRequestB(const ProviderAccount& account, const std::string& key)
{
    return RequestHead(account) + "KEY:" + key.substr(0, kProviderKeyMaxLength) + "\r\nCMD:11\r\n\r\n";
}

ProviderParse ParseProviderAnswer(std::string_view received, ProviderAnswer* answer)
{
    *answer = ProviderAnswer {};
    size_t at = 0;
    bool first = true;
    bool ended = false;
    while (at < received.size()) {
        const size_t lf = received.find('\n', at);
        if (lf == std::string_view::npos)
            break; // a header line without its end: the answer stops inside the head
        std::string_view line = received.substr(at, lf - at);
        at = lf + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (first) {
            first = false;
            // "HTTP/1.0 200 OK" or "HTTP/1.1 200 OK".
            if (line.size() < 12 || line.substr(0, 7) != "HTTP/1." || line[7] < '0' || line[7] > '9'
                || line[8] != ' ')
                return ProviderParse::NotUnderstood;
            const std::string_view rest = Trim(line.substr(9));
            const std::string_view code = rest.substr(0, 3);
            if (code.size() != 3 || (rest.size() > 3 && rest[3] != ' ')
                || std::from_chars(code.data(), code.data() + 3, answer->status).ec != std::errc {})
                return ProviderParse::NotUnderstood;
            continue;
        }
        if (line.empty()) {
            ended = true;
            break;
        }
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return ProviderParse::NotUnderstood;
        const std::string_view name = Trim(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (SameIgnoringCase(name, "Content-Length")) {
            uint64_t length = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), length);
            if (value.empty() || ec != std::errc {} || end != value.data() + value.size()
                || (answer->contentLength && *answer->contentLength != length))
                return ProviderParse::NotUnderstood;
            answer->contentLength = length;
        } else if (SameIgnoringCase(name, "GUID")) {
            if (value.size() > kProviderGuidLength || !IsToken(value))
                return ProviderParse::NotUnderstood;
            answer->guid = std::string(value);
        } else if (SameIgnoringCase(name, "KEY")) {
            if (value.size() > kProviderKeyMaxLength || !IsToken(value))
                return ProviderParse::NotUnderstood;
            answer->key = std::string(value);
        }
    }
    if (first || !ended)
        return ProviderParse::NotUnderstood;
    std::string_view body = received.substr(at);
    if (answer->contentLength) {
        if (body.size() < *answer->contentLength)
            return ProviderParse::Cut;
        body = body.substr(0, *answer->contentLength);
    }
    body = body.substr(0, body.find('\r'));
    if (body.size() > kMaxBody)
        return ProviderParse::NotUnderstood;
    answer->body = std::string(body);
    return ProviderParse::Ok;
}

std::optional<QString> DecodeProviderMessage(std::string_view body)
{
    if (body.size() < 10)
        return std::nullopt;
    for (size_t i = 0; i < 10; ++i)
        if (HexDigitValue(body[i]) < 0)
            return std::nullopt;
    size_t count = 0;
    for (size_t i = 4; i < 10; ++i)
        count = count * 16 + static_cast<size_t>(HexDigitValue(body[i]));
    if (count > kMaxMessage)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < count; ++i) {
        const int b = HexPair(body, 10 + 2 * i);
        if (b < 0)
            return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(b));
    }
    return platform::DecodeWindows1251(bytes);
}

std::optional<std::array<uint8_t, 16>> DeriveProviderKey(std::string_view guid, uint64_t uid)
{
    if (guid.size() != kProviderGuidLength)
        return std::nullopt;
    const std::string digits = UidDigits(uid);
    std::array<uint8_t, 16> key {};
    for (size_t i = 0; i < key.size(); ++i) {
        const int pair = HexPair(guid, 2 * i);
        if (pair < 0)
            return std::nullopt;
        key[i] = static_cast<uint8_t>(pair ^ static_cast<unsigned char>(digits[i % digits.size()]));
    }
    return key;
}

std::optional<JamCells> DecodeProviderJamBody(std::string_view body, const std::array<uint8_t, 16>& key)
{
    if (body.size() != kJamBodyPrefix.size() + 2 * kJamBytes
        || body.substr(0, kJamBodyPrefix.size()) != kJamBodyPrefix)
        return std::nullopt;
    JamCells cells;
    for (size_t i = 0; i < kJamBytes; ++i) {
        const int pair = HexPair(body, kJamBodyPrefix.size() + 2 * i);
        if (pair < 0)
            return std::nullopt;
        const uint8_t b = static_cast<uint8_t>(pair) ^ key[i % key.size()];
        cells[2 * i] = static_cast<char>('0' + (b & 3));
        cells[2 * i + 1] = static_cast<char>('0' + ((b >> 4) & 3));
    }
    return cells;
}

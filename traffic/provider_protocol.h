#pragma once
// The traffic provider's HTTP protocol: the account taken from the transport's
// configuration text, the two requests (byte for byte), the answers, the
// provider's text messages and the masked jam body. One download is request A
// (subscriber number, encoded PIN and the server identifier from the last
// download), whose answer carries a new identifier (GUID) and a KEY, then
// request B with that KEY, whose answer is the jam body.
#include "traffic/jam_file.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ProviderAccount {
    bool defaultServer = true;
    QString host;
    uint16_t port = 80;
    uint64_t uid = 0;
    QString pin;
    bool operator==(const ProviderAccount&) const = default;
};

inline constexpr const char* kProviderUserAgent = "TravenorPro/2.0";
inline constexpr size_t kProviderGuidLength = 32;
inline constexpr size_t kProviderKeyMaxLength = 20;
// At most this much of an answer is received.
inline constexpr size_t kProviderMaxAnswer = 4097;

// Five lines separated by line feeds: the default-server flag (one character,
// true unless "0"), the host (under 256 characters), the port (decimal digits,
// 16 bits), the subscriber number (decimal digits, 64 bits) and the PIN (under
// 41 characters). Anything else is refused.
std::optional<ProviderAccount> ParseProviderConfiguration(const QString& text);
// The text that ParseProviderConfiguration reads.
QString ProviderConfiguration(
    bool defaultServer, const QString& host, uint16_t port, uint64_t uid, const QString& pin);

// Each PIN character XOR the subscriber number's decimal digit at the same
// place (the digits repeat), as upper-case hexadecimal of at least two digits.
std::string EncodeProviderPin(const QString& pin, uint64_t uid);
std::string BuildProviderRequestA(const ProviderAccount& account, const std::string& guid);
std::string BuildProviderRequestB(const ProviderAccount& account, const std::string& key);

struct ProviderAnswer {
    int status = 0;
    std::optional<uint64_t> contentLength;
    std::optional<std::string> guid;
    std::optional<std::string> key;
    std::string body; // up to its first carriage return
};

enum class ProviderParse {
    Ok,
    NotUnderstood,
    Cut, // the body is shorter than its Content-Length: the transfer broke off
};

// Reads an answer as an HTTP/1.x server sends it: a status line, header lines
// in any order with names in any case (Content-Length, GUID, KEY; others are
// skipped), an empty line and the body.
ProviderParse ParseProviderAnswer(std::string_view received, ProviderAnswer* answer);

// A provider text message: a 4-digit hexadecimal code, a 6-digit hexadecimal
// byte count m (at most 511) and m hexadecimal pairs of Windows-1251 text.
std::optional<QString> DecodeProviderMessage(std::string_view body);

// The mask of the jam body: byte i the GUID's hexadecimal pair i XOR the
// subscriber number's digit i (repeating). The GUID must be 32 hexadecimal digits.
std::optional<std::array<uint8_t, 16>> DeriveProviderKey(std::string_view guid, uint64_t uid);
// "00110001B0", then 432 hexadecimal pairs XOR the key; byte b gives the cells
// '0' + (b & 3) and '0' + ((b >> 4) & 3). The body must be exactly that long.
std::optional<JamCells> DecodeProviderJamBody(std::string_view body, const std::array<uint8_t, 16>& key);

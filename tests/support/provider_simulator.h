#pragma once
// The traffic provider's side of the jam download, for tests: the answers its
// server sends to requests A and B and the masked jam body, written from the
// protocol's description independently of the program's decoder.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A GUID the tests' provider hands out (32 hexadecimal digits).
inline const std::string kProviderGuid = "0123456789ABCDEF0F1E2D3C4B5A6978";

// "00110001B0" and the 864 cells packed two per byte (first cell in the low
// bits), masked with the key made from the GUID and the subscriber number.
std::string MaskedJamBody(const std::string& cells, const std::string& guid, uint64_t uid);

// The answer to request A as the provider's web server writes it: status line,
// Date, four further headers, Content-Length: 0, GUID, KEY, empty line.
std::string ProviderAnswerA(
    const std::string& guid, const std::string& key, const char* version = "HTTP/1.1");
// The answer to request B: the same layout with the jam body.
std::string ProviderAnswerB(
    const std::string& key, const std::string& body, const char* version = "HTTP/1.1");
// A provider text message body: code, byte count and the bytes in hexadecimal.
std::string ProviderMessageBody(unsigned code, const std::string& text);

} // namespace testing_support

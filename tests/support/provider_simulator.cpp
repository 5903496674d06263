#include "tests/support/provider_simulator.h"

#include "tests/support/loopback_http_server.h"

#include <cstdio>
#include <stdexcept>

namespace testing_support {

namespace {

std::string Hex2(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

std::vector<std::string> ServerHeaders()
{
    return { "Server: Apache/2.2.3 (Unix)", "Last-Modified: Tue, 03 Jul 2007 14:00:00 GMT",
        "Accept-Ranges: bytes", "Connection: close" };
}

} // namespace

std::string MaskedJamBody(const std::string& cells, const std::string& guid, uint64_t uid)
{
    if (cells.size() != 864 || guid.size() != 32)
        throw std::invalid_argument("864 cells and a 32-digit GUID");
    const std::string digits = std::to_string(uid);
    unsigned key[16];
    for (int i = 0; i < 16; ++i)
        key[i] = std::stoul(guid.substr(2 * i, 2), nullptr, 16)
            ^ static_cast<unsigned char>(digits[i % digits.size()]);
    std::string body = "00110001B0";
    for (size_t i = 0; i < 432; ++i) {
        const unsigned b = (cells[2 * i] - '0') | ((cells[2 * i + 1] - '0') << 4);
        body += Hex2(b ^ key[i % 16]);
    }
    return body;
}

std::string ProviderAnswerA(const std::string& guid, const std::string& key, const char* version)
{
    auto headers = ServerHeaders();
    headers.push_back("Content-Length: 0");
    headers.push_back("GUID:" + guid);
    headers.push_back("KEY:" + key);
    return HttpAnswer(200, headers, "", version);
}

std::string ProviderAnswerB(const std::string& key, const std::string& body, const char* version)
{
    auto headers = ServerHeaders();
    headers.push_back("Content-Length: " + std::to_string(body.size()));
    headers.push_back("KEY:" + key);
    return HttpAnswer(200, headers, body, version);
}

std::string ProviderMessageBody(unsigned code, const std::string& text)
{
    char head[16];
    std::snprintf(head, sizeof head, "%04X%06X", code & 0xFFFF, static_cast<unsigned>(text.size()));
    std::string body = head;
    for (const char c : text)
        body += Hex2(static_cast<unsigned char>(c));
    return body;
}

} // namespace testing_support

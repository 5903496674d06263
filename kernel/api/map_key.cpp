#include "kernel/api/map_key.h"

#include <cstdio>

std::vector<uint8_t> ZXS_ParseMapKeyText(std::string_view text)
{
    std::vector<uint8_t> key;
    int high = -1;
    for (char c : text) {
        int v = -1;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c == '\n' || c == '\r' || c == ' ')
            continue;
        else
            return {};
        if (high < 0) {
            high = v;
        } else {
            key.push_back(static_cast<uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0 || (key.size() != 16 && key.size() != 24 && key.size() != 32))
        return {};
    return key;
}

std::string ZXS_MapKeyFileText(const std::vector<uint8_t>& key)
{
    std::string text;
    char two[3];
    for (uint8_t k : key) {
        std::snprintf(two, sizeof two, "%02x", k);
        text += two;
    }
    return text + "\n";
}

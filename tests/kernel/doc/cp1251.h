#pragma once

#include <iconv.h>

#include <string>

// UTF-8 test text in the maps' Cyrillic code page.
inline std::string Cp1251(const std::string& utf8)
{
    iconv_t cd = iconv_open("CP1251", "UTF-8");
    std::string in = utf8;
    std::string out(in.size() + 1, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t left = in.size(), room = out.size();
    iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    out.resize(out.size() - room);
    return out;
}

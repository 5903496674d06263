#pragma once
// What the command-line tools share: whole numbers read from their arguments
// with nothing left over and within the range the tool can use, the one line
// that refuses a bad argument and the one that says a map did not open.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kernel/api/result_codes.h"

namespace toolargs {

// A whole decimal number from `min` to `max`, and nothing else in the text.
inline bool ParseInt(const char* text, long long min, long long max, long long& value)
{
    if (text == nullptr || *text == '\0')
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || v < min || v > max)
        return false;
    value = v;
    return true;
}

// Two such numbers with `separator` between them: "X,Y", "WxH".
inline bool ParsePair(
    const char* text, char separator, long long min, long long max, long long& a, long long& b)
{
    if (text == nullptr)
        return false;
    const char* cut = text;
    while (*cut != '\0' && *cut != separator)
        ++cut;
    if (*cut == '\0' || cut == text)
        return false;
    char first[32];
    const size_t length = static_cast<size_t>(cut - text);
    if (length >= sizeof first)
        return false;
    for (size_t i = 0; i < length; ++i)
        first[i] = text[i];
    first[length] = '\0';
    return ParseInt(first, min, max, a) && ParseInt(cut + 1, min, max, b);
}

// A bad command line: one line on stderr naming what is wrong and the
// argument, when there is one; the status to exit with (2).
inline int Refuse(const char* tool, const std::string& what, const char* argument = nullptr)
{
    if (argument != nullptr)
        std::fprintf(
            stderr, "%s: %s: \"%s\" (%s --help shows the usage)\n", tool, what.c_str(), argument, tool);
    else
        std::fprintf(stderr, "%s: %s (%s --help shows the usage)\n", tool, what.c_str(), tool);
    return 2;
}

// "TOOL: the map PATH does not open: WORDS (kernel code N)", the same words for
// the same file from every tool.
inline void ReportMapOpenFailure(const char* tool, const char* path, int32_t resultCode)
{
    std::fprintf(stderr, "%s: the map %s does not open: %s (kernel code %d)\n", tool, path,
        ZXS_DescribeResult(resultCode), resultCode);
}

} // namespace toolargs

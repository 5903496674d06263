#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "kernel/doc/collect.h"

// Words shared by layer names and object names, up to four variants each.
// Record: length (16-bit), word number, variant, zero-terminated 8-bit text.
class CZXS_Dictionary : public CCollect {
public:
    static constexpr int kVariants = 4;

    CZXS_Dictionary();

    // Indexes every well-formed record by (variant 0-3, word number); records
    // of another variant are ignored, later records replace earlier ones.
    void BuildIndex();
    // Copies the word into `output` (empty when there is none). A variant
    // outside 0-3 leaves `output` as it was and gives false.
    bool Word(std::string& output, int number, int variant) const;
    // The stored word, or null for a variant outside 0-3 or a missing word.
    // The view ends at the word's terminator or at its record's end.
    const char* WordPointer(int number, int variant, size_t* length = nullptr) const;
    std::string_view WordView(int number, int variant) const;

private:
    static constexpr uint32_t kNone = 0xFFFFFFFF;
    std::array<std::array<uint32_t, 256>, kVariants> m_index;
};

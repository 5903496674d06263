#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/doc/little_endian.h"

// The symbol image set handed to the kernel at start: one caller-owned block of
// little-endian 32-bit words (magic, version 1, entries, a closing 0). Each entry
// is a header word (bits 0-13 symbol number, 14-15 group, 16-31 image count)
// followed by its palette images. The set indexes the entries by group and
// number and keeps pointers into the block, which must outlive it.
class CZXS_SymbolSet {
public:
    static constexpr uint32_t kMagic = 0x0b0b1c00;
    static constexpr uint32_t kVersion = 1;
    static constexpr int kGroups = 4;

    // One palette image inside the block, its fields read and its parts located.
    struct Image {
        uint16_t width = 0;
        uint16_t height = 0;
        int16_t anchorX = 0;
        int16_t anchorY = 0;
        uint8_t bitsPerPixel = 0;
        uint8_t paletteLength = 0;
        uint16_t extraWords = 0;
        uint16_t frames = 0;
        const uint8_t* palette = nullptr; // paletteLength colours 0x00BBGGRR
        const uint8_t* pixels = nullptr; // frames * height rows of PixelRowWords()
        const uint8_t* mask = nullptr; // rows of MaskRowWords(), bit set = transparent
        uint64_t words = 0; // the whole image

        uint32_t PixelRowWords() const { return (static_cast<uint32_t>(width) * bitsPerPixel + 31) / 32; }
        uint32_t MaskRowWords() const { return (static_cast<uint32_t>(width) + 31) / 32; }
    };
    // Reads the image at `at`; false when its depth is not 1, 2, 4 or 8 or it
    // does not fit in the `size` bytes there.
    static bool ReadImage(const uint8_t* at, size_t size, Image& image);

    CZXS_SymbolSet() = default;
    CZXS_SymbolSet(const CZXS_SymbolSet&) = delete;
    CZXS_SymbolSet& operator=(const CZXS_SymbolSet&) = delete;

    // 0; 100 wrong magic; 101 wrong version or a block that ends inside an
    // entry. No block (null or no bytes): an empty set, 0. A rejected block
    // leaves the set empty.
    int32_t Load(const uint8_t* block, size_t size);
    void Release();

    bool IsEmpty() const { return m_largestPixels < 0; }
    int64_t LargestPixels() const { return m_largestPixels; }
    int32_t LargestNumber(int group) const { return m_largestNumber[static_cast<size_t>(group)]; }
    // The entry's first image, or false when the group has no such symbol.
    bool FirstImage(int group, int32_t number, Image& image) const;

private:
    int64_t m_largestPixels = -1;
    std::array<std::vector<const uint8_t*>, kGroups> m_entries;
    std::array<int32_t, kGroups> m_largestNumber { -1, -1, -1, -1 };
    const uint8_t* m_blockEnd = nullptr;
};

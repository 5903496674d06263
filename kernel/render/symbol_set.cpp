#include "kernel/render/symbol_set.h"

#include <algorithm>
#include <new>

#include "kernel/api/result_codes.h"

namespace {

constexpr size_t kImageHeaderBytes = 20;

} // namespace

bool CZXS_SymbolSet::ReadImage(const uint8_t* at, size_t size, Image& image)
{
    if (size < kImageHeaderBytes)
        return false;
    image.width = ZXS_Le16(at);
    image.height = ZXS_Le16(at + 2);
    image.anchorX = static_cast<int16_t>(ZXS_Le16(at + 4));
    image.anchorY = static_cast<int16_t>(ZXS_Le16(at + 6));
    image.bitsPerPixel = at[10];
    image.paletteLength = at[11];
    image.extraWords = ZXS_Le16(at + 12);
    image.frames = ZXS_Le16(at + 14);
    const uint8_t b = image.bitsPerPixel;
    if (b != 1 && b != 2 && b != 4 && b != 8)
        return false;
    const uint64_t rows = static_cast<uint64_t>(image.frames) * image.height;
    image.words = (static_cast<uint64_t>(image.PixelRowWords()) + image.MaskRowWords()) * rows
        + image.paletteLength + image.extraWords + kImageHeaderBytes / 4;
    if (image.words > size / 4)
        return false;
    image.palette = at + kImageHeaderBytes;
    image.pixels = image.palette + 4 * (static_cast<size_t>(image.paletteLength) + image.extraWords);
    image.mask = image.pixels + 4 * static_cast<uint64_t>(image.PixelRowWords()) * rows;
    return true;
}

int32_t CZXS_SymbolSet::Load(const uint8_t* block, size_t size)
{
    Release();
    if (block == nullptr || size == 0)
        return 0;
    if (size < 4 || ZXS_Le32(block) != kMagic)
        return ZXS_KERR_HEADER;
    if (size < 8 || ZXS_Le32(block + 4) != kVersion)
        return ZXS_KERR_TABLE;
    const uint8_t* end = block + size;

    // Walks the entries, checking that each lies whole inside the block, and
    // calls `visit` with every entry's header word and position.
    const auto walk = [&](auto&& visit) {
        const uint8_t* p = block + 8;
        while (end - p >= 4) {
            const uint32_t header = ZXS_Le32(p);
            if (header == 0)
                return true;
            const uint8_t* entry = p;
            p += 4;
            for (uint32_t i = 0; i < (header >> 16); ++i) {
                Image image;
                if (!ReadImage(p, static_cast<size_t>(end - p), image))
                    return false;
                visit(header, entry, image);
                p += image.words * 4;
            }
            if (header >> 16 == 0)
                visit(header, entry, Image {});
        }
        // A block that ends after a whole entry without its closing word loses nothing.
        return p == end;
    };

    int64_t largestPixels = -1;
    std::array<int32_t, kGroups> largest { -1, -1, -1, -1 };
    const bool whole = walk([&](uint32_t header, const uint8_t*, const Image& image) {
        const int group = static_cast<int>((header >> 14) & 3);
        largest[group] = std::max<int32_t>(largest[group], static_cast<int32_t>(header & 0x3fff));
        if (image.palette != nullptr)
            largestPixels
                = std::max<int64_t>(largestPixels, static_cast<int64_t>(image.width) * image.height);
    });
    if (!whole)
        return ZXS_KERR_TABLE;
    try {
        for (int g = 0; g < kGroups; ++g)
            if (largest[g] >= 0)
                m_entries[g].assign(static_cast<size_t>(largest[g]) + 1, nullptr);
    } catch (const std::bad_alloc&) {
        Release();
        return ZXS_KERR_MEMORY;
    }
    walk([&](uint32_t header, const uint8_t* entry, const Image&) {
        m_entries[(header >> 14) & 3][header & 0x3fff] = entry;
    });
    m_largestNumber = largest;
    m_largestPixels = largestPixels;
    m_blockEnd = end;
    return 0;
}

void CZXS_SymbolSet::Release()
{
    for (auto& table : m_entries)
        std::vector<const uint8_t*>().swap(table);
    m_largestNumber = { -1, -1, -1, -1 };
    m_largestPixels = -1;
    m_blockEnd = nullptr;
}

bool CZXS_SymbolSet::FirstImage(int group, int32_t number, Image& image) const
{
    if (group < 0 || group >= kGroups || number < 0 || static_cast<size_t>(number) >= m_entries[group].size())
        return false;
    const uint8_t* entry = m_entries[group][static_cast<size_t>(number)];
    if (entry == nullptr || (ZXS_Le32(entry) >> 16) == 0)
        return false;
    return ReadImage(entry + 4, static_cast<size_t>(m_blockEnd - entry - 4), image);
}

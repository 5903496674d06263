#pragma once
// A device-independent bitmap held in memory with its header and colour table,
// and its writer as a .bmp file. The screen shot builds one from 24-bit pixels.
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct BitmapInfoHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0; // negative: rows stored top-down
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

// The header and up to 256 colour-table entries (0x00RRGGBB; for 16 and 32
// bits the first three are the channel masks).
struct BitmapInfo {
    BitmapInfoHeader bmiHeader;
    std::array<uint32_t, 256> bmiColors {};
};

inline constexpr uint32_t kBitmapInfoHeaderSize = 40;
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiBitfields = 3;

class CDibSection {
public:
    CDibSection() = default;
    CDibSection(const CDibSection&) = delete;
    CDibSection& operator=(const CDibSection&) = delete;
    ~CDibSection() = default;

    // Makes the section from the header (a 40-byte header of 1, 2, 4, 8, 16,
    // 24 or 32 bits) and copies biSizeImage bytes of `pixels` when given (the
    // rows padded to 4 bytes, as the section holds them). A size of 0 is worked
    // out from the header. False, and the object empty, for a header that
    // cannot be made or pixels larger than the section.
    bool Create(const BitmapInfo* bmi, const void* pixels);
    // Writes the .bmp file through a temporary file, so a failed save leaves
    // no partial file and keeps any old one. `path` may be a device path.
    bool SaveBmp(const QString& path) const;

    bool IsEmpty() const { return m_bits.empty(); }
    uint8_t* GetBits() { return m_bits.empty() ? nullptr : m_bits.data(); }
    const BitmapInfo& GetInfo() const { return m_info; }
    uint32_t GetPaletteCount() const { return m_paletteCount; }
    uint32_t GetColourUsage() const { return m_colourUsage; }

private:
    void Clear();

    std::vector<uint8_t> m_bits; // the section's pixels
    BitmapInfo m_info;
    uint32_t m_colourUsage = 0; // DIB_RGB_COLORS
    uint32_t m_paletteCount = 0;
};

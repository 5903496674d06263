#include "foundation/dib_section.h"

#include "platform/file_writer.h"
#include "platform/little_endian.h"
#include "platform/paths.h"

#include <cstring>

namespace {

// Sections beyond this are refused: far larger than any screen shot, and it
// keeps every size below 32 bits.
constexpr int64_t kMaxSectionBytes = int64_t(1) << 30;

uint32_t PaletteEntries(const BitmapInfoHeader& h)
{
    uint32_t n = 0;
    switch (h.biBitCount) {
    case 1:
        n = 2;
        break;
    case 2:
        n = 4;
        break;
    case 4:
        n = 16;
        break;
    case 8:
        n = 256;
        break;
    case 16:
    case 32:
        n = 3; // the three bit-field masks
        break;
    default:
        break;
    }
    if (h.biClrUsed != 0 && h.biClrUsed <= n)
        n = h.biClrUsed;
    return n;
}

int64_t SectionBytes(const BitmapInfoHeader& h)
{
    const int64_t rows = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
    return rows * ((int64_t(h.biBitCount) * h.biWidth + 31) / 32) * 4;
}

} // namespace

void CDibSection::Clear()
{
    m_bits.clear();
    m_bits.shrink_to_fit();
    m_info = BitmapInfo {};
    m_colourUsage = 0;
    m_paletteCount = 0;
}

bool CDibSection::Create(const BitmapInfo* bmi, const void* pixels)
{
    Clear();
    if (!bmi)
        return false;
    const BitmapInfoHeader& h = bmi->bmiHeader;
    m_paletteCount = PaletteEntries(h);
    m_info.bmiHeader = h;
    std::copy_n(bmi->bmiColors.begin(), m_paletteCount, m_info.bmiColors.begin());

    const uint16_t bits = h.biBitCount;
    const bool knownDepth
        = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const int64_t bytes = SectionBytes(h);
    if (h.biSize != kBitmapInfoHeaderSize || !knownDepth || h.biWidth <= 0 || h.biHeight == 0
        || h.biHeight == INT32_MIN || bytes > kMaxSectionBytes) {
        Clear();
        return false;
    }
    // Worked out from the row count, whichever way the rows are stored.
    if (m_info.bmiHeader.biSizeImage == 0)
        m_info.bmiHeader.biSizeImage = uint32_t(bytes);
    if (int64_t(m_info.bmiHeader.biSizeImage) > bytes) {
        Clear();
        return false;
    }
    m_bits.assign(size_t(bytes), 0);
    if (pixels)
        std::memcpy(m_bits.data(), pixels, m_info.bmiHeader.biSizeImage);
    return true;
}

bool CDibSection::SaveBmp(const QString& path) const
{
    if (m_bits.empty() || path.isEmpty())
        return false;
    const BitmapInfoHeader& h = m_info.bmiHeader;
    const uint32_t pixelOffset = 14 + (m_paletteCount + 10) * 4;
    std::vector<uint8_t> head;
    head.reserve(pixelOffset);
    platform::AppendLe16(head, 0x4D42); // "BM"
    platform::AppendLe32(head, pixelOffset + h.biSizeImage);
    platform::AppendLe16(head, 0);
    platform::AppendLe16(head, 0);
    platform::AppendLe32(head, pixelOffset);
    platform::AppendLe32(head, h.biSize);
    platform::AppendLe32(head, uint32_t(h.biWidth));
    platform::AppendLe32(head, uint32_t(h.biHeight));
    platform::AppendLe16(head, h.biPlanes);
    platform::AppendLe16(head, h.biBitCount);
    platform::AppendLe32(head, h.biCompression);
    platform::AppendLe32(head, h.biSizeImage);
    platform::AppendLe32(head, uint32_t(h.biXPelsPerMeter));
    platform::AppendLe32(head, uint32_t(h.biYPelsPerMeter));
    platform::AppendLe32(head, h.biClrUsed);
    platform::AppendLe32(head, h.biClrImportant);
    for (uint32_t i = 0; i < m_paletteCount; ++i)
        platform::AppendLe32(head, m_info.bmiColors[i]);

    platform::AtomicFileWriter file(platform::DevicePathToLocal(path).toStdString());
    return file.Write(head.data(), head.size()) && file.Write(m_bits.data(), h.biSizeImage) && file.Commit();
}

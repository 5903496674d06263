#include "drawlib/image_store.h"

#include "drawlib/canvas565.h"
#include "drawlib/rgb565.h"
#include "foundation/page_arena.h"
#include "platform/little_endian.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

CImageStore::~CImageStore()
{
    for (auto page = m_pages.rbegin(); page != m_pages.rend(); ++page) {
        if (*page) {
            for (CStoredImage& slot : **page)
                Release(slot);
        }
    }
}

CStoredImage* CImageStore::buffer(uint32_t id) const
{
    const size_t page = id >> 8;
    if (page >= m_pages.size() || !m_pages[page])
        return nullptr;
    return &(*m_pages[page])[id & 0xFF];
}

CStoredImage& CImageStore::GetOrCreate(uint32_t id)
{
    const size_t page = id >> 8;
    if (page >= m_pages.size())
        m_pages.resize(page + 1);
    if (!m_pages[page])
        m_pages[page] = std::make_unique<Page>();
    return (*m_pages[page])[id & 0xFF];
}

void CImageStore::SetExternal(CStoredImage& slot, uint8_t* pixels, int width, int height, int stride)
{
    Release(slot);
    slot.view.Init(pixels, width, height, stride);
    slot.ownsPixels = false;
}

bool CImageStore::Allocate(CStoredImage& slot, int width, int height, int stride)
{
    Release(slot);
    if (width < 0 || height < 0)
        return false;
    const size_t bytes
        = static_cast<size_t>(height) * static_cast<size_t>(std::abs(static_cast<long>(stride)));
    auto* pixels = static_cast<uint8_t*>(ArenaAlloc(bytes));
    if (!pixels)
        return false;
    slot.view.Init(pixels, width, height, stride);
    slot.ownsPixels = true;
    return true;
}

void CImageStore::Release(CStoredImage& slot)
{
    if (slot.ownsPixels)
        ArenaFree(slot.view.pixels);
    slot.view.Clear();
    slot.ownsPixels = false;
}

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
// Larger images are refused outright: no screen or picture of this program
// comes near, and it keeps every size computation far from overflow.
constexpr int64_t kMaxSide = 16384;

using platform::Le16;
using platform::Le32;

bool Fail(std::string* error, std::string text)
{
    if (error)
        *error = std::move(text);
    return false;
}

// A bitmap's header and where its parts lie, checked against the data.
struct Dib {
    int width = 0;
    int height = 0; // always positive; see topDown
    bool topDown = false;
    int bitCount = 0;
    int format = kPixelFormatOther;
    const uint8_t* palette = nullptr;
    uint32_t paletteCount = 0;
    const uint8_t* pixels = nullptr; // lowest-addressed byte of the rows
    int64_t rowBytes = 0;
};

// `pixelOffset` < 0: the rows follow the header and its table directly.
bool ParseDib(const uint8_t* data, size_t size, int64_t pixelOffset, Dib& dib, std::string* error)
{
    if (!data || size < 40)
        return Fail(error, "bitmap header is truncated");
    const uint32_t headerSize = Le32(data);
    if (headerSize < 40)
        return Fail(error, "bitmap header size " + std::to_string(headerSize) + " is not supported");
    if (headerSize > size)
        return Fail(error, "bitmap header is truncated");
    const int32_t width = static_cast<int32_t>(Le32(data + 4));
    const int32_t height = static_cast<int32_t>(Le32(data + 8));
    const int bitCount = Le16(data + 14);
    const uint32_t compression = Le32(data + 16);
    const uint32_t coloursUsed = Le32(data + 32);
    const int64_t absHeight = height < 0 ? -int64_t(height) : int64_t(height);
    if (width <= 0 || height == 0 || width > kMaxSide || absHeight > kMaxSide)
        return Fail(error,
            "bitmap size " + std::to_string(width) + " x " + std::to_string(height) + " is not supported");
    dib.width = width;
    dib.height = static_cast<int>(absHeight);
    dib.topDown = height < 0;
    dib.bitCount = bitCount;

    int64_t tableBytes = 0;
    uint32_t red = 0, green = 0, blue = 0;
    switch (bitCount) {
    case 1:
    case 4:
    case 8: {
        if (compression != kBiRgb)
            return Fail(error, "compressed bitmaps are not supported");
        const uint32_t most = 1u << bitCount;
        if (coloursUsed > most)
            return Fail(
                error, "bitmap colour table of " + std::to_string(coloursUsed) + " entries is too large");
        dib.paletteCount = coloursUsed ? coloursUsed : most;
        tableBytes = int64_t(dib.paletteCount) * 4;
        dib.format = bitCount == 8 ? kPixelFormatPalette8
            : bitCount == 4        ? kPixelFormatPalette4
                                   : kPixelFormatPalette1;
        break;
    }
    case 16:
    case 32:
        if (compression == kBiBitfields) {
            // The masks follow a 40-byte header, and are part of any longer one.
            if (headerSize == 40)
                tableBytes = 12;
            if (size < 52)
                return Fail(error, "bitmap colour masks are truncated");
            red = Le32(data + 40);
            green = Le32(data + 44);
            blue = Le32(data + 48);
        } else if (compression != kBiRgb) {
            return Fail(error, "compressed bitmaps are not supported");
        }
        if (bitCount == 16) {
            if (compression == kBiRgb || (red == 0x7C00 && green == 0x03E0 && blue == 0x001F))
                dib.format = kPixelFormat555;
            else if (red == 0xF800 && green == 0x07E0 && blue == 0x001F)
                dib.format = kPixelFormat565;
            else
                dib.format = kPixelFormatOther;
        } else if (compression != kBiRgb && blue != 0xFF) {
            dib.format = red == 0xFF ? kPixelFormat32RedLow
                : red == 0xFF00      ? kPixelFormat32RedMid
                                     : kPixelFormat32Other;
        } else {
            dib.format = kPixelFormatBGRX32;
        }
        break;
    case 24:
        if (compression != kBiRgb)
            return Fail(error, "compressed bitmaps are not supported");
        dib.format = kPixelFormatBGR24;
        break;
    default:
        return Fail(error, "bitmaps of " + std::to_string(bitCount) + " bits per pixel are not supported");
    }

    const int64_t tableEnd = int64_t(headerSize) + tableBytes;
    if (tableEnd > int64_t(size))
        return Fail(error, "bitmap colour table runs past the end of the data");
    dib.palette = dib.paletteCount ? data + headerSize : nullptr;
    if (pixelOffset < 0)
        pixelOffset = tableEnd;
    else if (pixelOffset < tableEnd || pixelOffset > int64_t(size))
        return Fail(error, "bitmap pixel offset " + std::to_string(pixelOffset) + " does not fit the data");
    dib.rowBytes = ((int64_t(bitCount) * width + 7) / 8 + 3) / 4 * 4;
    if (dib.rowBytes * absHeight > int64_t(size) - pixelOffset)
        return Fail(error, "bitmap pixels run past the end of the data");
    dib.pixels = data + pixelOffset;
    return true;
}

// Reads source pixel (x, y), y counted from the image's top row, as 5-6-5.
class DibReader {
public:
    explicit DibReader(const Dib& dib)
        : m_dib(dib)
    {
        // Indexes beyond a short colour table read as black rather than past it.
        for (uint32_t i = 0; i < dib.paletteCount; ++i) {
            const uint8_t* e = dib.palette + 4 * i;
            m_palette[i] = PackRGB565(e[2], e[1], e[0]);
        }
    }

    const uint8_t* RowStart(int y) const
    {
        const int stored = m_dib.topDown ? y : m_dib.height - 1 - y;
        return m_dib.pixels + m_dib.rowBytes * stored;
    }

    uint16_t Pixel(int x, int y) const
    {
        const uint8_t* row = RowStart(y);
        switch (m_dib.format) {
        case kPixelFormat555: {
            const uint16_t s = Le16(row + 2 * x);
            return static_cast<uint16_t>(((s >> 5) << 6) | (s & 0x1F));
        }
        case kPixelFormat565:
            return Le16(row + 2 * x);
        case kPixelFormatBGR24: {
            const uint8_t* p = row + 3 * x;
            return PackRGB565(p[2], p[1], p[0]);
        }
        case kPixelFormatBGRX32: {
            const uint8_t* p = row + 4 * x;
            return PackRGB565(p[2], p[1], p[0]);
        }
        case kPixelFormatPalette8:
            return m_palette[row[x]];
        case kPixelFormatPalette4:
            return m_palette[(row[x >> 1] >> (x & 1 ? 0 : 4)) & 0x0F];
        case kPixelFormatPalette1:
            return m_palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
        default:
            return 0;
        }
    }

private:
    const Dib& m_dib;
    uint16_t m_palette[256] = {};
};

bool Convert(CCanvas565& canvas, uint32_t id, const Dib& dib, bool inPlaceAllowed, std::string* error)
{
    const COrientTransform& orientation = canvas.GetOrientation();
    CImageStore& store = canvas.GetImageStore();
    if (dib.format == kPixelFormat32RedLow || dib.format == kPixelFormat32RedMid
        || dib.format == kPixelFormat32Other || dib.format == kPixelFormatOther)
        return Fail(error, "bitmap pixel format " + std::to_string(dib.format) + " is not converted");
    if (canvas.GetPixelFormat() != kPixelFormat565)
        return Fail(error, "the canvas's pixel format is not 5-6-5");

    // In place only when the stored rows can run in the bitmap's own memory
    // order: stored row 0 is the image's top under a straight surface and its
    // bottom under a vertically flipped one.
    if (inPlaceAllowed && orientation.XDirection() == 1 && dib.format == canvas.GetPixelFormat()
        && reinterpret_cast<uintptr_t>(dib.pixels) % 2 == 0) {
        const bool topFirst = orientation.YDirection() == 1;
        const int stride = static_cast<int>(topFirst != dib.topDown ? -dib.rowBytes : dib.rowBytes);
        store.SetExternal(
            store.GetOrCreate(id), const_cast<uint8_t*>(dib.pixels), dib.width, dib.height, stride);
        return true;
    }

    const SourceWalk walk = SourceWalkOf(orientation);
    const int walkWidth = walk.exchanged ? dib.height : dib.width;
    const int walkRows = walk.exchanged ? dib.width : dib.height;
    const int stride = -((walkWidth * 2 + 3) & ~3);
    CStoredImage& slot = store.GetOrCreate(id);
    if (!store.Allocate(slot, walkWidth, walkRows, stride))
        return Fail(error,
            "no memory for a " + std::to_string(walkWidth) + " x " + std::to_string(walkRows) + " image");

    const DibReader reader(dib);
    for (int r = 0; r < walkRows; ++r) {
        uint16_t* to = slot.Row(r);
        const int along = walk.rowsBackwards ? walkRows - 1 - r : r;
        if (!walk.exchanged && !walk.columnsBackwards && dib.format == kPixelFormat565) {
            std::memcpy(to, reader.RowStart(along), static_cast<size_t>(walkWidth) * 2);
            continue;
        }
        for (int c = 0; c < walkWidth; ++c) {
            const int across = walk.columnsBackwards ? walkWidth - 1 - c : c;
            to[c] = walk.exchanged ? reader.Pixel(along, across) : reader.Pixel(across, along);
        }
    }
    return true;
}

} // namespace

bool ConvertBitmap(CCanvas565& canvas, uint32_t id, const uint8_t* bitmap, size_t size, bool inPlaceAllowed,
    std::string* error)
{
    Dib dib;
    if (!ParseDib(bitmap, size, -1, dib, error))
        return false;
    return Convert(canvas, id, dib, inPlaceAllowed, error);
}

bool ConvertBitmapFile(CCanvas565& canvas, uint32_t id, const uint8_t* file, size_t size, std::string* error)
{
    if (!file || size < 14 || file[0] != 'B' || file[1] != 'M')
        return Fail(error, "not a BMP file");
    const uint32_t pixelOffset = Le32(file + 10);
    if (pixelOffset < 14)
        return Fail(error, "bitmap pixel offset " + std::to_string(pixelOffset) + " does not fit the data");
    Dib dib;
    // The offset is counted from the file's start, the bitmap from byte 14.
    if (!ParseDib(file + 14, size - 14, int64_t(pixelOffset) - 14, dib, error))
        return false;
    return Convert(canvas, id, dib, false, error);
}

bool LoadBitmapFile(CCanvas565& canvas, uint32_t id, const std::string& path, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail(error, "cannot open " + path);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return Fail(error, "cannot read " + path);
    return ConvertBitmapFile(canvas, id, bytes.data(), bytes.size(), error);
}

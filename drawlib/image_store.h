#pragma once
// Stored images by 32-bit id: 16-bit 5-6-5 pixel blocks kept in the
// orientation of the display surface, so that drawing them is a row copy.
// The id splits into a page (id >> 8) and a slot (id & 0xFF); pages of 256
// slots are made on first use and live as long as the store.
#include "foundation/image_view.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCanvas565;

struct CStoredImage {
    CImageView view;
    bool ownsPixels = false;

    uint8_t* buf() const { return view.pixels; }
    int GetWidth() const { return view.width; }
    int GetHeight() const { return view.height; }
    int GetStride() const { return view.stride; }
    // Start of stored row r.
    uint16_t* Row(int r) const
    {
        return reinterpret_cast<uint16_t*>(view.firstRow + std::ptrdiff_t(r) * view.stride);
    }
};

class CImageStore {
public:
    CImageStore() = default;
    CImageStore(const CImageStore&) = delete;
    CImageStore& operator=(const CImageStore&) = delete;
    ~CImageStore();

    // The slot of an id, or null while its page does not exist; the slot may be empty.
    CStoredImage* buffer(uint32_t id) const;
    CStoredImage& GetOrCreate(uint32_t id);

    // Points the slot at pixels it does not own (they must outlive the slot).
    void SetExternal(CStoredImage& slot, uint8_t* pixels, int width, int height, int stride);
    // A block of height * |stride| bytes from the page arena; false (and the
    // slot empty) when the arena cannot deliver.
    bool Allocate(CStoredImage& slot, int width, int height, int stride);
    void Release(CStoredImage& slot);

    size_t PageCount() const { return m_pages.size(); }

private:
    using Page = std::array<CStoredImage, 256>;
    std::vector<std::unique_ptr<Page>> m_pages;
};

// Converts a device-independent bitmap (a BITMAPINFOHEADER or a later header,
// its colour table or bit-field masks, then the pixel rows) of `size` bytes
// into the stored image `id` of the canvas, in the canvas's orientation. An
// image already in the canvas's format and row order may be taken in place
// when allowed; the bitmap memory must then outlive the stored image. False,
// with the reason in *error, for a bitmap that is malformed, does not fit its
// data or has a format that is not converted.
bool ConvertBitmap(CCanvas565& canvas, uint32_t id, const uint8_t* bitmap, size_t size, bool inPlaceAllowed,
    std::string* error = nullptr);

// The same for a whole .bmp file in memory (file header first); always copied.
bool ConvertBitmapFile(
    CCanvas565& canvas, uint32_t id, const uint8_t* file, size_t size, std::string* error = nullptr);
// Reads a .bmp file from disk into the stored image `id`.
bool LoadBitmapFile(CCanvas565& canvas, uint32_t id, const std::string& path, std::string* error = nullptr);

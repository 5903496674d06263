#pragma once

#include <cstdint>
#include <memory>

#include "kernel/doc/object.h"
#include "kernel/render/surface565.h"

// A kernel image: owns one RGB565 surface in plain memory.
class CZX_ImageFoundation : public CZXS_Object {
public:
    static constexpr int32_t kMaxSide = 32767;
    static constexpr int64_t kMaxPixels = 0x4000000;

    CZX_ImageFoundation() = default;
    CZX_ImageFoundation(const CZX_ImageFoundation&) = delete;
    CZX_ImageFoundation& operator=(const CZX_ImageFoundation&) = delete;
    ~CZX_ImageFoundation() override = default;

    const char16_t* ClassName() const override { return u"CZX_ImageFoundation"; }

    // A new surface filled with `colour` (0x00BBGGRR). 0; ZXS_ERR_PARAM for a
    // side outside 1..32767; ZXS_ERR_IMAGESIZE for more than 64 M pixels;
    // ZXS_ERR_MEMORY when memory fails. On failure the image holds no surface.
    virtual int32_t Create(int32_t width, int32_t height, uint32_t colour);
    virtual void Destroy();

    // The inclusive rectangle in any corner order, cut to the surface.
    void FillRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint16_t colour);
    // Bytes of the surface at its own depth (0) or at another bit depth.
    int64_t ByteSize(int32_t bitsPerPixel = 0) const;

    CZX_Surface565* Surface() { return m_surface.get(); }
    const CZX_Surface565* Surface() const { return m_surface.get(); }
    int32_t Width() const { return m_surface ? m_surface->Width() : 0; }
    int32_t Height() const { return m_surface ? m_surface->Height() : 0; }

private:
    std::unique_ptr<CZX_Surface565> m_surface;
};

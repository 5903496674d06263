#pragma once
// An image that is both a drawing target and a source: it either owns a pixel
// block from the page arena or shows pixels that belong to someone else (the
// draw tool's off-screen surface). Own blocks are only ever abandoned, never
// returned: the arena gives memory back all at once.
#include "foundation/image_rows.h"
#include "foundation/image_view.h"

#include <cstddef>

class CDrawTool;

class CImageBuffer {
public:
    CImageBuffer() = default;
    CImageBuffer(const CImageBuffer&) = delete;
    CImageBuffer& operator=(const CImageBuffer&) = delete;
    virtual ~CImageBuffer() = default;

    // Shows external pixels; any own block is abandoned.
    void AttachPixels(uint8_t* pixels, int width, int height, int stride, CDrawTool* drawTool);
    void Reset();

    // Copies the source's pixel block into this one; the geometry must match,
    // unless this buffer is detached, when it first takes a block of the
    // source's geometry. False when the source has no surface or either block
    // is missing.
    bool CopyPixelsFrom(const CImageBuffer& source);

    // Drawing with the draw tool; the drawing library carries these out.
    // DrawAt draws the source's pixels at (x, y) into own pixels, or into the
    // tool's off-screen surface; false without a tool. DrawFrom copies the
    // source in with orientation, DrawFromScaled scaled by `scale`; a buffer
    // without a tool first takes own pixels of the source tool's screen size.
    bool DrawAt(int x, int y, const CImageBuffer& source);
    bool DrawFrom(const CImageBuffer& source);
    bool DrawFromScaled(const CImageBuffer& source, double scale);

    // Points `target` at an own block of the given geometry, taking a larger
    // block from the arena when needed. When the arena cannot deliver, the
    // target is left without pixels and with no geometry (so nothing is ever
    // drawn through a null block) and the result is false.
    bool EnsurePixels(int width, int height, int stride, CImageRows& target);
    bool EnsurePixelsView(int width, int height, int stride, CImageView& target);

    const CImageRows& GetRows() const { return m_rows; }
    CImageRows& GetRows() { return m_rows; }
    const CImageView& GetView() const { return m_view; }
    uint8_t* GetOwnPixels() const { return m_ownPixels; }
    size_t GetOwnCapacity() const { return m_ownCapacity; }
    CDrawTool* GetSurface() const { return m_surface; }
    bool OwnsPixels() const { return m_ownPixels != nullptr; }

protected:
    CImageRows m_rows;
    CImageView m_view;
    uint8_t* m_ownPixels = nullptr;
    size_t m_ownCapacity = 0;
    CDrawTool* m_surface = nullptr;

private:
    // Makes sure an own block of height * |stride| bytes exists.
    bool ReserveOwn(int height, int stride);
};

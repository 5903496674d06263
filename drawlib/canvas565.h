#pragma once
// The RGB565 canvas: draws primitives and images into one target surface at a
// time, through the orientation transform and inside an inclusive clip
// rectangle given in surface coordinates.
#include "drawlib/canvas.h"
#include "drawlib/image_store.h"
#include "drawlib/orient_transform.h"
#include "foundation/image_rows.h"

struct CanvasRect {
    int left = 0, top = 0, right = -1, bottom = -1;
};

// The last of `count` coordinates from `start`, kept inside the int range.
int LastOf(int start, int count);

class CCanvas565 : public CCanvas {
public:
    explicit CCanvas565(CImageRows* target);
    CCanvas565(const CCanvas565&) = delete;
    CCanvas565& operator=(const CCanvas565&) = delete;
    ~CCanvas565() override = default;

    void SetTarget(CImageRows* surface);
    void SetClip(int left, int top, int right, int bottom);
    void SetClipLogical(int left, int top, int right, int bottom);
    COrientTransform& GetOrientation() { return m_orientation; }
    const COrientTransform& GetOrientation() const { return m_orientation; }
    const CanvasRect& GetClip() const { return m_clip; }
    CImageRows* GetTarget() const { return m_target; }
    CImageStore& GetImageStore() { return m_store; }
    const CImageStore& GetImageStore() const { return m_store; }
    // Size of stored image `id` in screen terms (width and height exchanged
    // under a quarter turn). False, outputs untouched, while the id's page
    // does not exist; an empty slot of an existing page reads 0 by 0.
    bool GetImageSize(uint32_t id, int& width, int& height) const;

    // Primitives.
    void Clear(uint32_t colour) override;
    void DrawRect(int x1, int y1, int x2, int y2, uint32_t colour) override;
    void DrawLine(int x1, int y1, int x2, int y2, uint32_t colour) override;
    void FillRect(int x1, int y1, int x2, int y2, uint32_t colour) override;
    int Reserved(int value) override { return value; }
    void SetPixel(int x, int y, uint32_t colour) override;
    int32_t GetPixel(int x, int y) override;
    int GetPixelFormat() const override { return kPixelFormat565; }
    int GetBytesPerPixel() const override { return 2; }

    // Image blits.
    void StretchCopy(const void*, int, int, int, double, uint32_t) override { }
    void BlitRows(
        const void* pixels, int width, int height, int stride, int x, int y, uint32_t background) override;
    void CopyRows(const void* pixels, int width, int height, int stride, uint32_t background) override;
    bool DrawImage(uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height) override;
    bool DrawImageKey(
        uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height, uint32_t key) override;
    bool DrawImageKeyAlpha(uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height,
        uint32_t key, unsigned alpha) override;
    void StretchImage(
        const void* pixels, int width, int height, int stride, double scale, uint32_t background) override;
    void BlitAt(
        const void* pixels, int width, int height, int stride, int x, int y, uint32_t background) override;
    void CopyOriented(const void* pixels, int width, int height, int stride, uint32_t background) override;

    // Block copy of a surface of identical geometry into the target.
    bool CopySurface(const CImageRows& source);
    // Opaque fill of everything outside columns x1 .. x2 - 1 and rows y1 .. y2 - 1.
    void FillOutside(uint32_t colour, int x1, int y1, int x2, int y2);

private:
    enum class StoredBlit { Copy, Key, KeyAlpha };

    // The clip cut to the target's bounds, so that a target changed behind
    // the canvas's back can never be written outside.
    CanvasRect ActiveClip() const;
    CanvasRect TargetBounds() const;
    bool HasTarget() const { return m_target && m_target->HasPixels(); }

    // Spans in surface coordinates, ends included, opaque or blended with the colour's alpha.
    void HSpan(int x1, int x2, int y, uint32_t colour, bool opaque, const CanvasRect& clip);
    void VSpan(int x, int y1, int y2, uint32_t colour, bool opaque, const CanvasRect& clip);
    // Both corners through the orientation, ordered.
    CanvasRect MapRect(int x1, int y1, int x2, int y2) const;
    void FillArea(int x1, int y1, int x2, int y2, uint32_t colour, bool opaque, const CanvasRect& clip);
    bool DrawStored(uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height,
        StoredBlit mode, uint32_t key, unsigned alpha);
    void ClearWithBackground(uint32_t background);

    CImageRows* m_target;
    COrientTransform m_orientation;
    CanvasRect m_clip;
    CImageStore m_store;
};

// The canvas operations that move whole images into the target: memory images
// given in logical orientation or already in the surface's orientation, and
// stored images, which are always in the surface's orientation.
#include "drawlib/canvas565.h"

#include "drawlib/rgb565.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Row 0 of a memory image under the stride convention.
const uint8_t* FirstRow(const void* pixels, int height, int stride)
{
    const auto* p = static_cast<const uint8_t*>(pixels);
    return stride < 0 && height > 0 ? p - std::ptrdiff_t(stride) * (height - 1) : p;
}

// A logical image read in the surface's orientation: `origin` is the source
// pixel for surface-space (0, 0) of the image, the steps are bytes per surface
// column and per surface row, and width x height its surface-space extent.
struct Walk {
    const uint8_t* origin;
    std::ptrdiff_t columnStep;
    std::ptrdiff_t rowStep;
    int width;
    int height;

    const uint16_t* At(int column, int row) const
    {
        return reinterpret_cast<const uint16_t*>(origin + columnStep * column + rowStep * row);
    }
};

Walk MakeWalk(const COrientTransform& orientation, const void* pixels, int width, int height, int stride)
{
    const SourceWalk how = SourceWalkOf(orientation);
    const uint8_t* first = FirstRow(pixels, height, stride);
    std::ptrdiff_t alongX = 2, alongY = stride;
    int extentX = width, extentY = height;
    if (how.exchanged) {
        std::swap(alongX, alongY);
        std::swap(extentX, extentY);
    }
    const uint8_t* origin = first;
    if (how.columnsBackwards) {
        origin += alongX * (extentX - 1);
        alongX = -alongX;
    }
    if (how.rowsBackwards) {
        origin += alongY * (extentY - 1);
        alongY = -alongY;
    }
    return { origin, alongX, alongY, extentX, extentY };
}

// Copies `count` pixels read at `step` bytes apart.
void CopyPixels(uint16_t* to, const uint16_t* from, std::ptrdiff_t stepBytes, int count)
{
    if (stepBytes == 2) {
        std::memcpy(to, from, static_cast<size_t>(count) * 2);
        return;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(from);
    for (int i = 0; i < count; ++i, p += stepBytes)
        std::memcpy(to + i, p, 2);
}

bool ImageUsable(const void* pixels, int width, int height, int stride)
{
    return pixels && width > 0 && height > 0 && stride != 0;
}

} // namespace

int LastOf(int start, int count)
{
    return int(std::clamp<int64_t>(int64_t(start) + count - 1, INT32_MIN, INT32_MAX));
}

void CCanvas565::FillOutside(uint32_t colour, int x1, int y1, int x2, int y2)
{
    if (!HasTarget())
        return;
    const int W = m_target->GetWidth() - 1;
    const int H = m_target->GetHeight() - 1;
    if (x1 == 0 && y1 == 0 && x2 > W && y2 > H)
        return;
    // Not clipped by the canvas clip, only kept inside the surface.
    const CanvasRect bounds = TargetBounds();
    auto fill = [&](int a, int b, int c, int d) {
        if (a <= c && b <= d)
            FillArea(a, b, c, d, colour, true, bounds);
    };
    fill(0, 0, x1 - 1, H);
    fill(x1, 0, W, y1 - 1);
    fill(x2, y1, W, H);
    fill(x1, y2, x2 - 1, H);
}

void CCanvas565::ClearWithBackground(uint32_t background)
{
    if (ColourAlpha(background) != 0)
        Clear(background | 0xFF000000u);
}

bool CCanvas565::CopySurface(const CImageRows& source)
{
    if (!HasTarget() || !source.GetPixels() || source.GetStride() == 0)
        return false;
    if (source.GetWidth() != m_target->GetWidth() || source.GetHeight() != m_target->GetHeight()
        || source.GetStride() != m_target->GetStride())
        return false;
    const size_t bytes
        = static_cast<size_t>(std::abs(source.GetStride())) * static_cast<size_t>(source.GetHeight());
    if (source.GetPixels() != m_target->GetPixels())
        std::memmove(m_target->GetPixels(), source.GetPixels(), bytes);
    return true;
}

void CCanvas565::CopyRows(const void* pixels, int width, int height, int stride, uint32_t background)
{
    if (!HasTarget())
        return;
    int rows = 0;
    if (ImageUsable(pixels, width, height, stride)) {
        const int targetStride = m_target->GetStride();
        rows = std::min(height, m_target->GetHeight());
        width = std::min(width, m_target->GetWidth());
        // One block when the rows lie top first in both; bottom-up blocks of
        // different heights would line up from their last rows instead.
        if (stride == targetStride && stride > 0) {
            std::memcpy(m_target->GetPixels(), pixels, static_cast<size_t>(rows) * std::abs(targetStride));
        } else {
            const uint8_t* from = FirstRow(pixels, height, stride);
            const size_t bytes = std::min<size_t>(std::abs(targetStride), std::abs(stride));
            for (int i = 0; i < rows; ++i, from += stride)
                std::memcpy(m_target->Row(i), from, bytes);
        }
    } else {
        width = 0;
    }
    if (ColourAlpha(background) != 0)
        FillOutside(background, 0, 0, width, rows);
}

void CCanvas565::CopyOriented(const void* pixels, int width, int height, int stride, uint32_t background)
{
    if (!HasTarget())
        return;
    int columns = 0, rows = 0;
    if (ImageUsable(pixels, width, height, stride)) {
        const Walk walk = MakeWalk(m_orientation, pixels, width, height, stride);
        columns = std::min(walk.width, m_target->GetWidth());
        rows = std::min(walk.height, m_target->GetHeight());
        for (int r = 0; r < rows; ++r)
            CopyPixels(m_target->PixelRow(r), walk.At(0, r), walk.columnStep, columns);
    }
    if (ColourAlpha(background) != 0)
        FillOutside(background, 0, 0, columns, rows);
}

void CCanvas565::BlitRows(
    const void* pixels, int width, int height, int stride, int x, int y, uint32_t background)
{
    if (!HasTarget())
        return;
    const int W = m_target->GetWidth(), H = m_target->GetHeight();
    int ax = x, ay = y, bx = x + (x < INT32_MAX), by = y + (y < INT32_MAX);
    m_orientation.Apply(ax, ay);
    m_orientation.Apply(bx, by);
    x = bx < ax ? ax + 1 - W : ax;
    y = by < ay ? ay + 1 - H : ay;
    if (!ImageUsable(pixels, width, height, stride)) {
        ClearWithBackground(background);
        return;
    }
    const uint8_t* from = FirstRow(pixels, height, stride);
    if (x < 0) {
        if (int64_t(width) <= -int64_t(x))
            width = 0;
        else {
            from += std::ptrdiff_t(-x) * 2;
            width += x;
        }
        x = 0;
    }
    if (y < 0) {
        if (int64_t(height) <= -int64_t(y))
            height = 0;
        else {
            from += std::ptrdiff_t(-y) * stride;
            height += y;
        }
        y = 0;
    }
    const int right = std::min(width, W);
    const int bottom = std::min(height, H);
    for (int r = y; r < bottom; ++r, from += stride) {
        if (x < right)
            std::memcpy(m_target->PixelRow(r) + x, from, static_cast<size_t>(right - x) * 2);
    }
    if (ColourAlpha(background) != 0)
        FillOutside(background, x, y, std::max(right, x), std::max(bottom, y));
}

void CCanvas565::BlitAt(
    const void* pixels, int width, int height, int stride, int x, int y, uint32_t background)
{
    if (!HasTarget())
        return;
    if (x == 0 && y == 0) {
        CopyOriented(pixels, width, height, stride, background);
        return;
    }
    if (!ImageUsable(pixels, width, height, stride)) {
        ClearWithBackground(background);
        return;
    }
    // The image's logical rectangle in surface coordinates.
    const CanvasRect placed = MapRect(x, y, LastOf(x, width), LastOf(y, height));
    const int x1 = placed.left, y1 = placed.top, x2 = placed.right, y2 = placed.bottom;
    const int W = m_target->GetWidth(), H = m_target->GetHeight();
    if (x2 < 0 || y2 < 0 || x1 >= W || y1 >= H) {
        ClearWithBackground(background);
        return;
    }
    const Walk walk = MakeWalk(m_orientation, pixels, width, height, stride);
    const int skipX = x1 < 0 ? -x1 : 0;
    const int skipY = y1 < 0 ? -y1 : 0;
    const int left = std::max(x1, 0), top = std::max(y1, 0);
    const int right = std::min(x2 + 1, W), bottom = std::min(y2 + 1, H);
    for (int r = top; r < bottom; ++r)
        CopyPixels(
            m_target->PixelRow(r) + left, walk.At(skipX, skipY + (r - top)), walk.columnStep, right - left);
    if (ColourAlpha(background) != 0)
        FillOutside(background, left, top, right, bottom);
}

void CCanvas565::StretchImage(
    const void* pixels, int width, int height, int stride, double scale, uint32_t background)
{
    if (!HasTarget())
        return;
    if (!ImageUsable(pixels, width, height, stride)) {
        ClearWithBackground(background);
        return;
    }
    // 8.8 fixed point, kept to a range where the arithmetic below cannot overflow.
    const double scaled = scale * 256.0 + 0.5;
    int64_t step = std::isfinite(scaled) ? int64_t(std::clamp(scaled, -1.0, 65536.0 * 256.0)) : 0;
    if (step == 256) {
        CopyOriented(pixels, width, height, stride, background);
        return;
    }
    const Walk walk = MakeWalk(m_orientation, pixels, width, height, stride);
    const int64_t W = m_target->GetWidth(), H = m_target->GetHeight();
    int64_t columns = 1, rows = 1, destX = 0, destY = 0, startX = 0, startY = 0;
    // One axis: how many target pixels, where they start, and how far into the
    // source the first one is; an image larger than the target loses equal parts on both sides.
    auto place = [&](int64_t target, int64_t source, int64_t& count, int64_t& dest, int64_t& start) {
        const int64_t L = target * 256 - source * step + 128;
        if (L < 0) {
            count = target;
            dest = 0;
            start = ((-L) / step) / 2;
        } else {
            count = target - (L >> 8);
            dest = L >> 8;
            if (count < 1) {
                count = 1;
                dest = 1;
            }
            dest >>= 1;
            start = 0;
        }
        // Never read past the source, whatever the rounding.
        start = std::min(start, source - 1);
        // Column k reads source pixel start + floor(k * 256 / step).
        const int64_t lastColumn = ((source - start) * step - 1) / 256;
        count = std::min(count, lastColumn + 1);
        count = std::min(count, target - dest);
    };
    if (step > 0) {
        place(W, walk.width, columns, destX, startX);
        place(H, walk.height, rows, destY, startY);
    } else {
        destX = (W >> 1) - 1;
        destY = (H >> 1) - 1;
        step = 1;
        destX = std::max<int64_t>(destX, 0);
        destY = std::max<int64_t>(destY, 0);
    }
    if (ColourAlpha(background) != 0) {
        if (rows < 10 || columns < 10)
            Clear(background | 0xFF000000u);
        else
            FillOutside(background, int(destX), int(destY), int(destX + columns), int(destY + rows));
    }
    if (columns <= 0 || rows <= 0)
        return;
    int64_t sourceRow = startY, rowAccumulator = 0;
    for (int64_t r = 0; r < rows; ++r) {
        uint16_t* to = m_target->PixelRow(int(destY + r)) + destX;
        int64_t sourceColumn = startX, accumulator = 0;
        for (int64_t c = 0; c < columns; ++c) {
            std::memcpy(to + c, walk.At(int(sourceColumn), int(sourceRow)), 2);
            accumulator += 256;
            if (accumulator >= step) {
                sourceColumn += accumulator / step;
                accumulator %= step;
            }
        }
        rowAccumulator += 256;
        if (rowAccumulator >= step) {
            sourceRow += rowAccumulator / step;
            rowAccumulator %= step;
        }
    }
}

bool CCanvas565::DrawStored(uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height,
    StoredBlit mode, uint32_t key, unsigned alpha)
{
    const CStoredImage* image = m_store.buffer(id);
    if (!image || !image->buf())
        return false;
    if (width <= 0 || height <= 0 || !HasTarget())
        return true;
    if (mode == StoredBlit::KeyAlpha && alpha == 0)
        return true;
    // Both rectangles in surface coordinates, ordered.
    const CanvasRect dest = MapRect(x, y, LastOf(x, width), LastOf(y, height));
    int sx1 = sourceX, sy1 = sourceY, sx2 = LastOf(sourceX, width), sy2 = LastOf(sourceY, height);
    m_orientation.ApplyInImage(sx1, sy1, image->GetWidth(), image->GetHeight());
    m_orientation.ApplyInImage(sx2, sy2, image->GetWidth(), image->GetHeight());
    int64_t dl = dest.left, dr = dest.right, dt = dest.top, db = dest.bottom;
    int64_t sl = std::min(sx1, sx2), sr = std::max(sx1, sx2), st = std::min(sy1, sy2),
            sb = std::max(sy1, sy2);

    const CanvasRect clip = ActiveClip();
    if (sl < 0) {
        dl -= sl;
        sl = 0;
    }
    if (st < 0) {
        dt -= st;
        st = 0;
    }
    sr = std::min<int64_t>(sr, image->GetWidth() - 1);
    sb = std::min<int64_t>(sb, image->GetHeight() - 1);
    if (dl < clip.left) {
        sl += clip.left - dl;
        dl = clip.left;
    }
    if (dt < clip.top) {
        st += clip.top - dt;
        dt = clip.top;
    }
    dr = std::min<int64_t>(dr, clip.right);
    db = std::min<int64_t>(db, clip.bottom);
    if (dr - dl > sr - sl)
        dr = dl + (sr - sl);
    else
        sr = sl + (dr - dl);
    if (db - dt > sb - st)
        db = dt + (sb - st);
    else
        sb = st + (db - dt);
    if (sr - sl < 0 || sb - st < 0)
        return true;

    const int count = int(dr - dl + 1);
    const uint16_t keyPixel = ColourToPixel(key);
    for (int64_t i = 0; i <= db - dt; ++i) {
        const uint16_t* from = image->Row(int(st + i)) + sl;
        uint16_t* to = m_target->PixelRow(int(dt + i)) + dl;
        switch (mode) {
        case StoredBlit::Copy:
            std::memcpy(to, from, static_cast<size_t>(count) * 2);
            break;
        case StoredBlit::Key:
            for (int c = 0; c < count; ++c)
                to[c] = from[c] == keyPixel ? to[c] : from[c];
            break;
        case StoredBlit::KeyAlpha:
            if (alpha >= 0xFF) {
                for (int c = 0; c < count; ++c)
                    to[c] = from[c] == keyPixel ? to[c] : from[c];
            } else {
                for (int c = 0; c < count; ++c) {
                    if (from[c] != keyPixel)
                        to[c] = BlendPixel(to[c], from[c], alpha);
                }
            }
            break;
        }
    }
    return true;
}

bool CCanvas565::DrawImage(uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height)
{
    return DrawStored(id, x, y, sourceX, sourceY, width, height, StoredBlit::Copy, 0, 0xFF);
}

bool CCanvas565::DrawImageKey(
    uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height, uint32_t key)
{
    return DrawStored(id, x, y, sourceX, sourceY, width, height, StoredBlit::Key, key, 0xFF);
}

bool CCanvas565::DrawImageKeyAlpha(
    uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height, uint32_t key, unsigned alpha)
{
    return DrawStored(id, x, y, sourceX, sourceY, width, height, StoredBlit::KeyAlpha, key, alpha & 0xFF);
}

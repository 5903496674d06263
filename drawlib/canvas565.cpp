#include "drawlib/canvas565.h"

#include "drawlib/rgb565.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

CCanvas565::CCanvas565(CImageRows* target)
    : m_target(target)
{
    if (m_target)
        m_clip = { 0, 0, m_target->GetWidth() - 1, m_target->GetHeight() - 1 };
}

void CCanvas565::SetTarget(CImageRows* surface)
{
    if (surface == m_target)
        return;
    m_target = surface;
    const int w = m_target ? m_target->GetWidth() : 0;
    const int h = m_target ? m_target->GetHeight() : 0;
    m_clip.right = std::min(m_clip.right, w - 1);
    m_clip.bottom = std::min(m_clip.bottom, h - 1);
}

void CCanvas565::SetClip(int left, int top, int right, int bottom)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const int w = m_target ? m_target->GetWidth() : 0;
    const int h = m_target ? m_target->GetHeight() : 0;
    m_clip = { std::max(left, 0), std::max(top, 0), std::min(right, w - 1), std::min(bottom, h - 1) };
}

bool CCanvas565::GetImageSize(uint32_t id, int& width, int& height) const
{
    const CStoredImage* image = m_store.buffer(id);
    if (!image)
        return false;
    width = m_orientation.Exchanged() ? image->GetHeight() : image->GetWidth();
    height = m_orientation.Exchanged() ? image->GetWidth() : image->GetHeight();
    return true;
}

void CCanvas565::SetClipLogical(int left, int top, int right, int bottom)
{
    m_orientation.Apply(left, top);
    m_orientation.Apply(right, bottom);
    SetClip(left, top, right, bottom);
}

CanvasRect CCanvas565::TargetBounds() const
{
    if (!HasTarget())
        return {};
    return { 0, 0, m_target->GetWidth() - 1, m_target->GetHeight() - 1 };
}

CanvasRect CCanvas565::ActiveClip() const
{
    const CanvasRect bounds = TargetBounds();
    return { std::max(m_clip.left, bounds.left), std::max(m_clip.top, bounds.top),
        std::min(m_clip.right, bounds.right), std::min(m_clip.bottom, bounds.bottom) };
}

namespace {

// Orders a span's ends and cuts it to [low, high]; false when nothing is left.
bool ClipSpan(int& a, int& b, int low, int high)
{
    if (a > b)
        std::swap(a, b);
    if (b < low || a > high)
        return false;
    a = std::max(a, low);
    b = std::min(b, high);
    return true;
}

} // namespace

void CCanvas565::HSpan(int x1, int x2, int y, uint32_t colour, bool opaque, const CanvasRect& clip)
{
    if (y < clip.top || y > clip.bottom || !ClipSpan(x1, x2, clip.left, clip.right))
        return;
    uint16_t* row = m_target->PixelRow(y);
    const uint16_t s = ColourToPixel(colour);
    if (opaque) {
        std::fill_n(row + x1, x2 - x1 + 1, s);
        return;
    }
    const unsigned a = ColourAlpha(colour);
    for (int x = x1; x <= x2; ++x)
        row[x] = BlendPixel(row[x], s, a);
}

void CCanvas565::VSpan(int x, int y1, int y2, uint32_t colour, bool opaque, const CanvasRect& clip)
{
    if (x < clip.left || x > clip.right || !ClipSpan(y1, y2, clip.top, clip.bottom))
        return;
    const uint16_t s = ColourToPixel(colour);
    const unsigned a = ColourAlpha(colour);
    // Through the row table, so that any stride is followed exactly.
    for (int y = y1; y <= y2; ++y) {
        uint16_t& d = m_target->PixelRow(y)[x];
        d = opaque ? s : BlendPixel(d, s, a);
    }
}

void CCanvas565::FillArea(
    int x1, int y1, int x2, int y2, uint32_t colour, bool opaque, const CanvasRect& clip)
{
    if (!ClipSpan(x1, x2, clip.left, clip.right) || !ClipSpan(y1, y2, clip.top, clip.bottom))
        return;
    for (int y = y1; y <= y2; ++y)
        HSpan(x1, x2, y, colour, opaque, clip);
}

CanvasRect CCanvas565::MapRect(int x1, int y1, int x2, int y2) const
{
    m_orientation.Apply(x1, y1);
    m_orientation.Apply(x2, y2);
    return { std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2) };
}

void CCanvas565::Clear(uint32_t colour)
{
    if (!HasTarget())
        return;
    const uint16_t pixel = ColourToPixel(colour);
    const int h = m_target->GetHeight();
    const size_t rowBytes = static_cast<size_t>(std::abs(m_target->GetStride()));
    if (pixel == 0 && rowBytes >= static_cast<size_t>(m_target->GetWidth()) * 2) {
        std::memset(m_target->GetPixels(), 0, rowBytes * static_cast<size_t>(h));
        return;
    }
    const int w = m_target->GetWidth();
    for (int y = 0; y < h; ++y)
        std::fill_n(m_target->PixelRow(y), w, pixel);
}

void CCanvas565::SetPixel(int x, int y, uint32_t colour)
{
    if (!HasTarget())
        return;
    m_orientation.Apply(x, y);
    if (x < 0 || y < 0 || x >= m_target->GetWidth() || y >= m_target->GetHeight())
        return;
    m_target->PixelRow(y)[x] = ColourToPixel(colour);
}

int32_t CCanvas565::GetPixel(int x, int y)
{
    if (!HasTarget())
        return -1;
    m_orientation.Apply(x, y);
    if (x < 0 || y < 0 || x >= m_target->GetWidth() || y >= m_target->GetHeight())
        return -1;
    const uint16_t p = m_target->PixelRow(y)[x];
    return static_cast<int32_t>(UnpackRed(p) | UnpackGreen(p) << 8 | UnpackBlue(p) << 16 | 0xFFu << 24);
}

void CCanvas565::DrawRect(int x1, int y1, int x2, int y2, uint32_t colour)
{
    const unsigned alpha = ColourAlpha(colour);
    if (alpha == 0 || !HasTarget())
        return;
    const CanvasRect r = MapRect(x1, y1, x2, y2);
    const CanvasRect clip = ActiveClip();
    const bool opaque = alpha == 0xFF;
    // A rectangle one pixel wide or high is a single span: the four-span
    // outline would reach one pixel outside it and blend its pixels twice.
    if (r.left == r.right) {
        VSpan(r.left, r.top, r.bottom, colour, opaque, clip);
        return;
    }
    if (r.top == r.bottom) {
        HSpan(r.left, r.right, r.top, colour, opaque, clip);
        return;
    }
    // Four spans, each corner drawn once.
    HSpan(r.left, r.right - 1, r.top, colour, opaque, clip);
    VSpan(r.right, r.top, r.bottom - 1, colour, opaque, clip);
    HSpan(r.left + 1, r.right, r.bottom, colour, opaque, clip);
    VSpan(r.left, r.top + 1, r.bottom, colour, opaque, clip);
}

void CCanvas565::FillRect(int x1, int y1, int x2, int y2, uint32_t colour)
{
    const unsigned alpha = ColourAlpha(colour);
    if (alpha == 0 || !HasTarget())
        return;
    const CanvasRect r = MapRect(x1, y1, x2, y2);
    FillArea(r.left, r.top, r.right, r.bottom, colour, alpha == 0xFF, ActiveClip());
}

void CCanvas565::DrawLine(int x1, int y1, int x2, int y2, uint32_t colour)
{
    const unsigned alpha = ColourAlpha(colour);
    if (alpha == 0 || !HasTarget())
        return;
    m_orientation.Apply(x1, y1);
    m_orientation.Apply(x2, y2);
    const CanvasRect clip = ActiveClip();
    const bool opaque = alpha == 0xFF;
    if (x1 == x2) {
        VSpan(x1, y1, y2, colour, opaque, clip);
        return;
    }
    if (y1 == y2) {
        HSpan(x1, x2, y1, colour, opaque, clip);
        return;
    }
    // Digital differential analyser, the minor axis in 24.8 fixed point.
    const bool majorIsY = std::llabs(int64_t(x2) - x1) < std::llabs(int64_t(y2) - y1);
    int64_t major = majorIsY ? y1 : x1;
    const int64_t majorEnd = majorIsY ? y2 : x2;
    const int64_t minorStart = majorIsY ? x1 : y1;
    const int64_t minorEnd = majorIsY ? x2 : y2;
    const int64_t n = std::llabs(majorEnd - major);
    const int64_t majorStep = major < majorEnd ? 1 : -1;
    int64_t minor = minorStart * 256;
    const int64_t span = minorEnd * 256 - minor;
    int64_t q = span / n;
    int64_t r = span % n;
    if (r <= 0) {
        r += n;
        q -= 1;
    }
    int64_t e = r - n;
    const uint16_t s = ColourToPixel(colour);
    for (int64_t step = 0; step <= n; ++step) {
        const int64_t mn = minor >> 8;
        const int64_t px = majorIsY ? mn : major;
        const int64_t py = majorIsY ? major : mn;
        // Sloped lines keep strictly inside the clip.
        if (px > clip.left && px < clip.right && py > clip.top && py < clip.bottom) {
            uint16_t& d = m_target->PixelRow(static_cast<int>(py))[px];
            d = opaque ? s : BlendPixel(d, s, alpha);
        }
        e += r;
        minor += q;
        if (e > 0) {
            e -= n;
            minor += 1;
        }
        major += majorStep;
    }
}

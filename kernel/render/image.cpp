#include "kernel/render/image.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <type_traits>
#include <utility>

#include "kernel/doc/kernel_memory.h"
#include "kernel/render/line_painter.h"

namespace {

// Paints rows first..last (first < last) of one column of a band across a line,
// cut to 0..limit - 1: the inner pixels in the colour, the two edge pixels
// either the given `edges` or, without them, blends of what is there with the
// colour by alpha (the first pixel keeping more of the old one as alpha grows).
// Across rows the band's pixels are one row apart; along a row (kAlongRow)
// they are neighbours, and the loop knows it.
template <bool kAlongRow>
void PaintBand(uint16_t* column, std::ptrdiff_t rowStep, int64_t first, int64_t last, int64_t limit,
    uint16_t colour, uint32_t alpha, const uint16_t* edges)
{
    const std::ptrdiff_t step = kAlongRow ? 1 : rowStep;
    const int64_t from = std::max<int64_t>(0, first);
    const int64_t to = std::min(limit - 1, last);
    if (from > to)
        return;
    uint16_t* p = column + from * step;
    int64_t w = from;
    if (w == first) {
        *p = edges != nullptr ? edges[0] : CZX_Surface565::Blend565(*p, colour, alpha);
        p += step;
        ++w;
    }
    for (const int64_t inner = std::min(to, last - 1); w <= inner; ++w, p += step)
        *p = colour;
    if (w == last && w <= to)
        *p = edges != nullptr ? edges[1] : CZX_Surface565::Blend565(colour, *p, alpha);
}

} // namespace

void CZX_Image::FreeEdges::operator()(Edge* edges) const { ZXS_MemFree(edges); }

CZX_Image::~CZX_Image() { Destroy(); }

void CZX_Image::Destroy()
{
    // A fill running on another thread finishes before its surface goes away.
    const std::lock_guard<std::mutex> lock(m_fillLock);
    CZX_ImageFoundation::Destroy();
    m_edges.reset();
    m_edgeCapacity = 0;
}

bool CZX_Image::DashStep(bool& centreOn)
{
    ++m_pen.dashCounter;
    const uint32_t bit = 1u << (m_pen.dashCounter & 31);
    centreOn = (m_pen.centreDash & bit) != 0;
    return (m_pen.outerDash & bit) != 0;
}

void CZX_Image::DrawLine(const ZXS_Segment& segment)
{
    // Ends far outside move in to just beyond the image and its band, so a
    // line never walks billions of steps outside; lines inside stay as given.
    const int32_t margin = m_pen.outerWidth + 2;
    const ZXS_ScreenRect reach = { -margin, -margin, Width() - 1 + margin, Height() - 1 + margin };
    ZXS_Segment s = segment;
    if (!ClipSegment(reach, s))
        return;
    if (Antialiased())
        DrawLineAntialiased(s);
    else
        DrawLinePlain(s);
}

void CZX_Image::DrawLineAntialiased(const ZXS_Segment& s)
{
    CZX_Surface565* surface = Surface();
    if (surface == nullptr || m_pen.outerWidth == 0)
        return;
    if (s.x1 == s.x2 && s.y1 == s.y2) {
        Plot(s.x1, s.y1, m_pen.outerColour);
        return;
    }
    const int64_t l = m_pen.outerWidth >> 1;
    const int64_t m = l + (m_pen.outerWidth & 1);
    const int64_t o = m_pen.centreWidth >> 1;
    const int64_t t = o + 1;
    const uint16_t outer = m_pen.outerColour;
    const uint16_t centre = m_pen.centreColour;

    // Walk the main axis u, one pixel per step; v is the cross axis in 17.15 fixed point.
    const bool xMajor
        = std::llabs(static_cast<int64_t>(s.y2) - s.y1) < std::llabs(static_cast<int64_t>(s.x2) - s.x1);
    int64_t u1 = xMajor ? s.x1 : s.y1, v1 = xMajor ? s.y1 : s.x1;
    int64_t u2 = xMajor ? s.x2 : s.y2, v2 = xMajor ? s.y2 : s.x2;
    if (u1 > u2) {
        std::swap(u1, u2);
        std::swap(v1, v2);
    }
    const int64_t slope = ((v2 - v1) * 32768) / (u2 - u1);
    int64_t pos = v1 * 32768;
    const int64_t uLimit = xMajor ? surface->Width() : surface->Height();
    const int64_t vLimit = xMajor ? surface->Height() : surface->Width();
    if (u1 < 0) {
        // Steps before the image still count for the line's position and dashes.
        const int64_t skipped = -u1;
        pos += slope * skipped;
        m_pen.dashCounter = static_cast<uint8_t>(m_pen.dashCounter + (skipped & 0xff));
        u1 = 0;
    }
    u2 = std::min(u2, uLimit - 1);
    // Pixel (u, w) lies at origin + u * uStep + w * wStep: rows run bottom-up in memory.
    uint16_t* const origin = surface->Row(0);
    const std::ptrdiff_t rowStep = surface->Height() > 1 ? surface->Row(1) - origin : 0;
    const std::ptrdiff_t uStep = xMajor ? 1 : rowStep;
    const std::ptrdiff_t wStep = xMajor ? rowStep : 1;
    const auto walk = [&](auto alongRow) {
        constexpr bool kAlongRow = decltype(alongRow)::value;
        for (int64_t u = u1; u <= u2; ++u, pos += slope) {
            bool centreOn = false;
            const bool outerOn = DashStep(centreOn);
            const int64_t v = pos >> 15;
            const uint32_t alpha = static_cast<uint32_t>((pos >> 7) & 0xff);
            uint16_t* const column = origin + u * uStep;
            if (outerOn)
                PaintBand<kAlongRow>(column, wStep, v - l, v + m, vLimit, outer, alpha, nullptr);
            if (m_pen.centreWidth != 0 && centreOn) {
                const uint32_t edgeAlpha = std::min<uint32_t>(255, alpha + alpha / 2);
                const uint16_t edges[2] = { CZX_Surface565::Blend565(outer, centre, edgeAlpha),
                    CZX_Surface565::Blend565(centre, outer, edgeAlpha) };
                PaintBand<kAlongRow>(column, wStep, v - o, v + t, vLimit, centre, edgeAlpha, edges);
            }
        }
    };
    if (xMajor)
        walk(std::false_type {});
    else
        walk(std::true_type {});
}

void CZX_Image::DrawLinePlain(const ZXS_Segment& s)
{
    CZX_Surface565* surface = Surface();
    if (surface == nullptr || m_pen.outerWidth == 0)
        return;
    const uint16_t colour = m_pen.outerColour;
    const int64_t h = m_pen.outerWidth >> 1;
    const int64_t dx = std::llabs(static_cast<int64_t>(s.x2) - s.x1);
    const int64_t dy = std::llabs(static_cast<int64_t>(s.y2) - s.y1);
    const int64_t sx = s.x2 >= s.x1 ? 1 : -1;
    const int64_t sy = s.y2 >= s.y1 ? 1 : -1;
    const bool xMajor = dy < dx;
    const int64_t major = xMajor ? dx : dy;
    const int64_t minor = xMajor ? dy : dx;
    const auto draw = [&](int64_t x, int64_t y) {
        if (m_pen.outerWidth == 1) {
            if (surface->Contains(static_cast<int32_t>(x), static_cast<int32_t>(y)))
                surface->SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), colour);
            return;
        }
        if (xMajor) {
            if (x < 0 || x >= surface->Width())
                return;
            const int64_t last = std::min<int64_t>(surface->Height() - 1, y + h);
            for (int64_t r = std::max<int64_t>(0, y - h); r <= last; ++r)
                surface->SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(r), colour);
        } else if (y >= 0 && y < surface->Height()) {
            surface->FillRun(static_cast<int32_t>(y), static_cast<int32_t>(std::max<int64_t>(0, x - h)),
                static_cast<int32_t>(std::min<int64_t>(surface->Width() - 1, x + h)), colour);
        }
    };
    Plot(s.x1, s.y1, colour);
    int64_t x = s.x1, y = s.y1;
    int64_t error = 2 * minor - major;
    for (int64_t i = 0; i < major; ++i) {
        if (error > 0) {
            if (xMajor)
                y += sy;
            else
                x += sx;
            error -= 2 * major;
        }
        error += 2 * minor;
        if (xMajor)
            x += sx;
        else
            y += sy;
        draw(x, y);
    }
}

void CZX_Image::DrawPolyline(const ZXS_ScreenPoint* points, int32_t count)
{
    for (int32_t i = 1; i < count; ++i)
        DrawLine({ points[i - 1].x, points[i - 1].y, points[i].x, points[i].y });
}

void CZX_Image::DrawParts(const ZXS_PointParts& parts)
{
    const ZXS_ScreenPoint* p = parts.points;
    for (int32_t i = 0; i < parts.partCount && p != nullptr; ++i) {
        const int32_t n = std::max<int32_t>(0, parts.partLengths[i]);
        DrawPolyline(p, n);
        p += n;
    }
}

void CZX_Image::DrawRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    DrawLine({ x0, y0, x1, y0 });
    DrawLine({ x1, y0, x1, y1 });
    DrawLine({ x1, y1, x0, y1 });
    DrawLine({ x0, y1, x0, y0 });
}

void CZX_Image::Plot(int32_t x, int32_t y, uint16_t colour)
{
    if (CZX_Surface565* surface = Surface()) {
        surface->SetCursor(x, y);
        surface->WriteAtCursor(colour);
    }
}

void CZX_Image::DrawArrowhead(const ZXS_Segment& segment, int32_t length, int32_t halfWidth, bool closed)
{
    std::array<ZXS_ScreenPoint, 4> points;
    DrawPolyline(points.data(), ArrowheadPoints(segment, length, halfWidth, closed, points));
}

void CZX_Image::DrawArrowheadBackward(
    const ZXS_Segment& segment, int32_t length, int32_t halfWidth, bool closed)
{
    DrawArrowhead({ segment.x2, segment.y2, segment.x1, segment.y1 }, length, halfWidth, closed);
}

void CZX_Image::DrawSymbol(int32_t x, int32_t y, int32_t symbol, uint16_t colour)
{
    CZX_Surface565* surface = Surface();
    if (surface == nullptr || symbol < 0 || symbol > 7)
        return;
    const ZXS_DirectionSymbol& s = kDirectionSymbols[symbol];
    const int64_t left = static_cast<int64_t>(x) - s.hotspotX;
    const int64_t top = static_cast<int64_t>(y) - s.hotspotY;
    if (left < -8 || top < -8 || left >= surface->Width() || top >= surface->Height())
        return;
    const uint16_t white = CZX_Surface565::Colour565(255, 255, 255);
    for (int32_t row = 0; row < 9; ++row) {
        for (int32_t col = 0; col < 9; ++col) {
            const uint8_t cell = s.cells[row][col];
            const int32_t px = static_cast<int32_t>(left + col), py = static_cast<int32_t>(top + row);
            if (cell != 0 && surface->Contains(px, py))
                surface->SetPixel(px, py, cell == 1 ? white : colour);
        }
    }
}

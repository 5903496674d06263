#include "ui/target_arrow.h"

#include "drawlib/glyph_sets.h"
#include "foundation/screen_metrics.h"
#include "foundation/string_helpers.h"
#include "ui/element_drawing.h"

#include <array>
#include <cmath>

std::atomic<double> g_lastTargetDirection { 0.0 };

namespace {
constexpr int kStraightAheadImage = 485;
constexpr double kNoDirection = 400.0;
constexpr double kAnyLatitude = -1000.0;

// One picture per 15-degree sector, starting with the sector around 0.
constexpr std::array<int, 24> kSectorImages { 485, 482, 486, 498, 499, 500, 494, 479, 480, 481, 483, 484, 478,
    493, 487, 488, 489, 490, 491, 492, 501, 495, 496, 497 };
}

int CTargetArrow::ImageForDirection(double relative)
{
    const int sector = static_cast<int>(std::floor((relative + 7.5) / 15.0)) % 24;
    return kSectorImages[static_cast<size_t>(sector < 0 ? sector + 24 : sector)];
}

int CTargetArrow::SetSurface(CDrawTool* surface)
{
    CScreenElement::SetSurface(surface);
    SetState(STATE_HIDDEN);
    m_image = kStraightAheadImage;
    SetPosition({ 0, GetButtonSide() });
    return 1;
}

void CTargetArrow::Update(const CGeoPos& from, const CGeoPos& to, double heading, int mode)
{
    if (!from.IsValid() || !to.IsValid())
        return;
    double direction = from.DirectionTo(to);
    if (direction == kNoDirection)
        direction = g_lastTargetDirection.load();
    else
        g_lastTargetDirection = direction;
    double h = 90.0 - heading;
    while (h <= -180.0)
        h += 360.0;
    while (h > 180.0)
        h -= 360.0;
    double a = direction - h + 90.0;
    if (a <= -180.0)
        a += 360.0;
    if (a > 180.0)
        a -= 360.0;
    double relative = 90.0 - a;
    if (relative < 0.0)
        relative += 360.0;
    m_image = ImageForDirection(relative);
    m_distance = from.DistanceToMetres(to, kAnyLatitude);
    m_mode = mode;
}

void CTargetArrow::DrawAt(const ElementPoint& point)
{
    const int image = m_image.load();
    if (GetState() == STATE_HIDDEN || image == 0)
        return;
    const ElementSize picture = GetImageSize(m_surface, image);
    const int w = picture.cx, h = picture.cy, b = ScaleByDpiY(20);
    const int x = point.x, y = point.y;
    DrawKeyedImage(m_surface, image, x, y, picture, GetAlpha());
    FillRectAlpha(m_surface, x, y + h, w, b, kColourWhite, GetAlpha());
    if (m_mode.load() == MODE_DISTANCE) {
        QString text;
        FormatDistance(m_distance.load(), text);
        FontDrawString(GetToolFont(FONT_DIGITS), text, x + 1, y + h + 1);
    } else {
        FillRectAlpha(m_surface, x, y, w, h + b, kColourWhite, GetAlpha() * 4 / 5);
    }
    DrawRectOutline(m_surface, x, y, w + 1, h + b, kColourBlack);
    DrawLineOn(m_surface, x, y + h, x + w, y + h, kColourBlack);
}

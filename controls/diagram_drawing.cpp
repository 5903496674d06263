#include "controls/diagram_drawing.h"

#include "foundation/language.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextLength = 5;
constexpr int kDiagramTextFlags = 2;

QChar Digit(int value) { return QChar(u'0' + value % 10); }

// `value` right-aligned in `width` positions, leading zeros as spaces.
QString RightAligned(int64_t value, int width) { return QString::number(value).rightJustified(width, u' '); }

QString Units(int language, const char16_t* english, const char16_t* russian)
{
    return QString::fromUtf16(language == LANGUAGE_RUSSIAN ? russian : english);
}

} // namespace

void DrawPercentBar(CDrawTool* surface, const ElementPoint& position, const ElementSize& size, int percent,
    uint32_t fillColour, uint32_t restColour, int64_t frameColour)
{
    percent = std::clamp(percent, 0, 100);
    const int filled = static_cast<int>(std::floor(percent * size.cx * 0.01 + 0.5));
    if (percent != 0)
        FillRectAlpha(surface, position.x, position.y, filled, size.cy, fillColour, 255);
    if (percent < 100)
        FillRectAlpha(surface, position.x + filled, position.y, size.cx - filled, size.cy, restColour, 255);
    if (frameColour != -1)
        DrawRectOutline(
            surface, position.x, position.y, size.cx, size.cy, static_cast<uint32_t>(frameColour));
}

void DrawDiagramText(const QString& text, const ElementPoint& position, const ElementSize& size,
    CGlyphFont* mainFont, CGlyphFont* secondFont)
{
    int spaces = 0;
    while (spaces < text.size() && spaces < kTextLength && text[spaces] == u' ')
        ++spaces;
    const int shift = spaces <= 3 ? 4 * spaces : 20;
    const ElementRect rect { position.x - shift, position.y, position.x + size.cx, position.y + size.cy };
    FontDrawTextBox(mainFont, text.left(kTextLength), rect, kDiagramTextFlags, secondFont);
}

QString FormatDiagramDistance(int32_t metres, int language)
{
    const QString kilometres = Units(language, u"km", u"км");
    if (metres < 0 || metres > 999999)
        return QStringLiteral("  -") + kilometres;
    if (metres < 1000)
        return u' ' + RightAligned(metres, 3) + Units(language, u"m", u"м");
    const int tenths = (metres + 50) / 100; // kilometres rounded to one decimal
    if (tenths < 100) {
        if (tenths % 10 == 0)
            return QStringLiteral("  ") + Digit(tenths / 10) + kilometres;
        return Digit(tenths / 10) + (u'.' + QString(Digit(tenths))) + kilometres;
    }
    const int whole = static_cast<int>(std::floor(metres * 0.001 + 0.5));
    if (whole > 999)
        return QStringLiteral("  -") + kilometres;
    return RightAligned(whole, 3) + kilometres;
}

QString FormatDiagramDuration(int32_t seconds, int language)
{
    const bool russian = language == LANGUAGE_RUSSIAN;
    const QChar hour = russian ? u'ч' : u'h';
    const QChar minute = russian ? u'м' : u'm';
    const QString none = QStringLiteral("   -") + hour;
    if (seconds < 0)
        return none;
    if (seconds < 60)
        return (seconds >= 10 ? Digit(seconds / 10) : QChar(u' '))
            + (Digit(seconds) + Units(language, u"sec", u"сек"));
    const int64_t minutes = static_cast<int64_t>(std::floor(seconds / 60.0 + 0.5));
    if (minutes > 599999)
        return none;
    if (minutes < 60)
        return RightAligned(minutes, 2) + Units(language, u"min", u"мин");
    const int64_t hours = minutes / 60;
    if (hours < 10) {
        const int64_t rest = minutes % 60;
        const QString h = Digit(static_cast<int>(hours)) + QString(hour);
        if (rest == 0)
            return QStringLiteral("   ") + h;
        if (rest < 10)
            return u' ' + h + Digit(static_cast<int>(rest)) + minute;
        return h + RightAligned(rest, 2) + minute;
    }
    const int64_t rounded = static_cast<int64_t>(std::floor(minutes / 60.0 + 0.5));
    if (rounded > 9999)
        return none;
    return RightAligned(rounded, 4) + hour;
}

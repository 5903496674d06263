#pragma once
// Drawing shared by the on-map value widgets (the diagrams): the percent bar,
// the five-character value text, and the texts of the distance and the
// remaining time.
#include "ui/element_drawing.h"

#include <QString>
#include <cstdint>

class CDrawTool;
class CGlyphFont;

// The bar colours of every diagram: the filled part orange, the rest pale yellow.
inline constexpr uint32_t kDiagramFillColour = 0x0046B5FF;
inline constexpr uint32_t kDiagramRestColour = 0x0099F7FF;

// A bar over the rectangle: `percent` (0..100) of its width in the fill
// colour from the left, the rest in the rest colour, both opaque; framed when
// `frameColour` is not -1.
void DrawPercentBar(CDrawTool* surface, const ElementPoint& position, const ElementSize& size, int percent,
    uint32_t fillColour, uint32_t restColour, int64_t frameColour);

// Five characters in the element's rectangle, moved left by 4 pixels for each
// leading space (20 for four or more), with the main font and the second font
// for digits.
void DrawDiagramText(const QString& text, const ElementPoint& position, const ElementSize& size,
    CGlyphFont* mainFont, CGlyphFont* secondFont);

// The remaining distance in five characters: " 350m", "2.5km", "  3km",
// " 12km"; "  -km" for a negative distance or one that does not fit (999.5 km
// and more). The units follow the language (0 English, 1 Russian).
QString FormatDiagramDistance(int32_t metres, int language);

// A duration in five characters: "45sec", " 2min", "1h15m", " 1h5m",
// "   1h", "  10h"; "   -h" for a negative one or one that does not fit
// (9999.5 hours and more).
QString FormatDiagramDuration(int32_t seconds, int language);

#pragma once

#include "kernel/render/image.h"

// The image a view renders into: lines are clipped to its clip rectangle first.
class CZXS_ClippedImage : public CZX_Image {
public:
    enum TableColour { kBlack = 0, kWhite = 1, kRed = 2 };

    const char16_t* ClassName() const override { return u"CZXS_ClippedImage"; }

    // Also sets the clip rectangle to the whole image and the colour table; on
    // failure the clip rectangle is all 0.
    int32_t Create(int32_t width, int32_t height, uint32_t colour) override;
    void DrawLine(const ZXS_Segment& segment) override;

    const ZXS_ScreenRect& ClipRect() const { return m_clip; }
    // Cut to the image, so nothing is ever drawn outside it.
    void SetClipRect(const ZXS_ScreenRect& rect);
    uint16_t Colour(TableColour index) const { return m_colours[index]; }

private:
    ZXS_ScreenRect m_clip;
    uint16_t m_colours[3] = { 0, 0, 0 };
};

#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "kernel/render/image_foundation.h"
#include "kernel/render/label_accumulator.h"
#include "kernel/render/screen_types.h"

// A kernel image with a pen: thick lines with an outer and a centre band, each
// with its own colour and dash mask, antialiased or plain; arrowheads, direction
// symbols and the scan-line polygon filler.
class CZX_Image : public CZX_ImageFoundation {
public:
    // Set as a whole before drawing. Colours are pixel values; a dash mask has
    // bit n set to draw at dash step n (all ones: solid).
    struct Pen {
        uint16_t outerColour = 0;
        uint16_t centreColour = 0;
        uint16_t outerWidth = 1;
        uint16_t centreWidth = 0;
        uint32_t outerDash = 0xffffffffu;
        uint32_t centreDash = 0xffffffffu;
        uint8_t dashCounter = 0;
    };

    // One stored polygon edge, y1 < y2.
    struct Edge {
        int32_t x1;
        int32_t y1;
        int32_t x2;
        int32_t y2;
    };

    static constexpr int32_t kMaxFillParts = 2048;
    static constexpr int32_t kMaxActiveEdges = 768;
    static constexpr uint32_t kStippleSolid = 0xffffffffu;

    CZX_Image() = default;
    ~CZX_Image() override;

    const char16_t* ClassName() const override { return u"CZX_Image"; }
    void Destroy() override;

    bool Antialiased() const { return m_antialiased != 0; }
    void SetAntialiased(bool on) { m_antialiased = on ? 1 : 0; }
    Pen& GetPen() { return m_pen; }
    void SetPen(const Pen& pen) { m_pen = pen; }

    // Antialiased or plain by the image's flag, never outside the surface.
    virtual void DrawLine(const ZXS_Segment& segment);
    void DrawPolyline(const ZXS_ScreenPoint* points, int32_t count);
    void DrawParts(const ZXS_PointParts& parts);
    void DrawRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void Plot(int32_t x, int32_t y, uint16_t colour);
    // Head of an arrow at the segment's second end (the backward one at its first).
    void DrawArrowhead(const ZXS_Segment& segment, int32_t length, int32_t halfWidth, bool closed);
    void DrawArrowheadBackward(const ZXS_Segment& segment, int32_t length, int32_t halfWidth, bool closed);
    // One of the eight 9 x 9 direction symbols with its hotspot at (x, y).
    void DrawSymbol(int32_t x, int32_t y, int32_t symbol, uint16_t colour);

    // Fills every part of `polygon` as one even-odd polygon inside `clip`, only
    // in rows whose bit (y mod 32) of `stipple` is set, and gathers label room
    // into `accumulator` when given. Fills on one image are serialised.
    void FillPolygon(const ZXS_ScreenRect& clip, const ZXS_PointParts& polygon, uint16_t colour,
        uint32_t stipple, int32_t labelMargin, CZXS_LabelAccumulator* accumulator);

    void DrawLineAntialiased(const ZXS_Segment& segment);
    void DrawLinePlain(const ZXS_Segment& segment);

private:
    struct FreeEdges {
        void operator()(Edge* edges) const;
    };

    bool DashStep(bool& centreOn);
    int32_t ScanFill(int32_t edgeCount, int32_t xLimit, int32_t lastRow, uint16_t colour, uint32_t stipple,
        int32_t labelMargin, CZXS_LabelAccumulator* accumulator);

    // The filler's edge table, kept between fills and grown to the largest polygon.
    std::unique_ptr<Edge[], FreeEdges> m_edges;
    uint32_t m_edgeCapacity = 0;
    std::mutex m_fillLock;
    uint8_t m_antialiased = 0;
    Pen m_pen;
};

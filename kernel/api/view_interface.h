#pragma once

#include <cstdint>

#include "kernel/api/types.h"
#include "kernel/api/view_handle.h"

inline constexpr uint32_t ZXS_SRCCOPY = 0x00CC0020;

using ZXS_ViewNotifyFunction = void (*)(int32_t code, void* user, CZXS_View* view);

// View life and image.
int32_t ZXS_ViewCreate(CZXS_ViewHandle* view, CZXS_MapHandle* map);
void ZXS_ViewDestroy(CZXS_ViewHandle* view);
int32_t ZXS_ViewResize(
    CZXS_ViewHandle* view, ZXS_DeviceContext* dc, int32_t width, int32_t height, int32_t antialiased);
void ZXS_ViewReleaseImage(CZXS_ViewHandle* view);
int32_t ZXS_ViewHasImage(const CZXS_ViewHandle* view);
int32_t ZXS_ViewSetNotify(CZXS_ViewHandle* view, ZXS_ViewNotifyFunction callback, void* user);
int32_t ZXS_ViewGetWidth(const CZXS_ViewHandle* view);
int32_t ZXS_ViewGetHeight(const CZXS_ViewHandle* view);
// Bottom-up RGB565 rows.
uint8_t* ZXS_ViewGetBits(const CZXS_ViewHandle* view);
const ZXS_DeviceContext* ZXS_ViewGetDC(const CZXS_ViewHandle* view);

// Position, rotation (tenths of a degree) and conversions.
int32_t ZXS_ViewSetRotation(CZXS_ViewHandle* view, int32_t angle);
int32_t ZXS_ViewSetPosition(CZXS_ViewHandle* view, int32_t x, int32_t y, int32_t scale);
int32_t ZXS_ViewScreenToMapX(const CZXS_ViewHandle* view, int32_t x, int32_t y);
int32_t ZXS_ViewScreenToMapY(const CZXS_ViewHandle* view, int32_t x, int32_t y);
int32_t ZXS_ViewMapToScreenX(const CZXS_ViewHandle* view, int32_t x, int32_t y);
int32_t ZXS_ViewMapToScreenY(const CZXS_ViewHandle* view, int32_t x, int32_t y);
double ZXS_ViewMapToScreenDist(const CZXS_ViewHandle* view, int32_t distance);
double ZXS_ViewScreenToMapDist(const CZXS_ViewHandle* view, int32_t distance);

// Drawing and copying.
int32_t ZXS_ViewClear(CZXS_ViewHandle* view);
int32_t ZXS_ViewFill(CZXS_ViewHandle* view, uint8_t red, uint8_t green, uint8_t blue);
int32_t ZXS_ViewBlt(const CZXS_ViewHandle* view, ZXS_DeviceContext* dc, int32_t x, int32_t y, uint32_t rop);
int32_t ZXS_ViewDrawObject(CZXS_ViewHandle* view, int32_t object, uint8_t red, uint8_t green, uint8_t blue);
// Rectangles are left, top, right, bottom.
int32_t ZXS_ViewSetClipRect(CZXS_ViewHandle* view, const int32_t* rect);
int32_t ZXS_ViewExcludeRect(CZXS_ViewHandle* view, const int32_t* rect);
int32_t ZXS_ViewNop1(CZXS_ViewHandle* view);
int32_t ZXS_ViewNop2(CZXS_ViewHandle* view);
int32_t ZXS_ViewNop3(CZXS_ViewHandle* view);

// Rendering: queued on the render thread, or on the caller's thread.
int32_t ZXS_ViewRenderAsync(CZXS_ViewHandle* view);
int32_t ZXS_ViewCancelRender(CZXS_ViewHandle* view);
int32_t ZXS_ViewGetRenderState(const CZXS_ViewHandle* view);
int32_t ZXS_ViewAckRender(CZXS_ViewHandle* view);
int32_t ZXS_ViewRender(CZXS_ViewHandle* view, int32_t quick, ZXS_DeviceContext* dc);

// A 40-byte occupancy stroke of a horizontal or vertical pair of points.
struct ZXS_AxisStroke {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t cx = 0, cy = 0;
    uint16_t halfX = 0, halfY = 0;
    int32_t length = 0; // 16.16
    int32_t cosine = 0, sine = 0; // 16.16
};
// 1 when built; other pairs leave the record as it was (0).
int32_t ZXS_InitAxisStroke(
    ZXS_AxisStroke* stroke, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width);

// Reads a rendered image row by row; memory rows run bottom-up.
struct CZXS_PixelIterator {
    const CZXS_ViewHandle* view = nullptr;
    int32_t stride = 0;
    int32_t bytesPerPixel = 0;
    int32_t rowOffset = 0;
    int32_t pixelOffset = 0;
    int32_t lastRow = 0;
    int32_t lastColumn = 0;
    int32_t column = 0;
    int32_t row = 0;
};
int32_t ZXS_PixelIterInit(CZXS_PixelIterator* it, const CZXS_ViewHandle* view);
int32_t ZXS_PixelIterBeginTop(CZXS_PixelIterator* it);
int32_t ZXS_PixelIterBeginBottom(CZXS_PixelIterator* it);
int32_t ZXS_PixelIterNextRow(CZXS_PixelIterator* it);
int32_t ZXS_PixelIterPrevRow(CZXS_PixelIterator* it);
int32_t ZXS_PixelIterNextPixel(CZXS_PixelIterator* it);
int32_t ZXS_PixelIterGet555(const CZXS_PixelIterator* it, uint8_t* red, uint8_t* green, uint8_t* blue);
int32_t ZXS_PixelIterGetRGB(const CZXS_PixelIterator* it, uint8_t* red, uint8_t* green, uint8_t* blue);

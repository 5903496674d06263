#pragma once
// An image buffer over the draw tool's off-screen surface: the tool's buffer
// client, so drawing into it is drawing into the frame.
#include "drawlib/draw_buffer_client.h"
#include "foundation/image_buffer.h"

class CDrawTool;

class CSurfaceImage : public CDrawBufferClient, public CImageBuffer {
public:
    CSurfaceImage() = default;
    ~CSurfaceImage() override = default;

    // Shows the tool's off-screen pixels; nothing without a tool.
    void AttachToSurface(CDrawTool* drawTool);
};

// The program's draw tool.
CDrawTool* GetScreenDrawTool();

#pragma once
// The front object of the drawing library: the off-screen RGB565 surface every
// frame is drawn into, the canvas that does the drawing, the copy of a finished
// frame to the display, and a cache of bitmaps made from stored images.
//
// The surface is laid out like a bottom-up device-independent bitmap: memory row
// 0 is the bottom screen row. The canvas's orientation (a vertical flip) hides
// that from everyone who draws in screen coordinates.
#include "drawlib/canvas565.h"
#include "foundation/image_rows.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class Display;
}
class CDrawBufferClient;

// The drawing library's trace (tag "ZK_Draw_lib"). Nothing depends on it; its
// messages are dropped unless a sink is attached.
using DrawTraceSink = std::function<void(const char* tag, const std::string& message)>;
void SetDrawTraceSink(DrawTraceSink sink);
void DrawTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A background colour meaning "none" for the image entry points.
inline constexpr uint32_t kNoBackground = 0xFFFFFFFFu;

class CDrawTool {
public:
    enum Mode : int { MODE_WAPI = 0, MODE_GAPI = 1 };
    enum : uint32_t { FLAG_RESOLUTION_1 = 0x10, FLAG_RESOLUTION_2 = 0x20 };
    enum Result : int { BUFFER_OK = 0, BUFFER_BAD_MODE = 2, BUFFER_NO_DISPLAY = 5, BUFFER_BAD_FORMAT = 7 };

    CDrawTool();
    // Also gives back the whole page arena, stored images included: the
    // program has one draw tool, living as long as the program.
    virtual ~CDrawTool();
    CDrawTool(const CDrawTool&) = delete;
    CDrawTool& operator=(const CDrawTool&) = delete;

    void SetFlags(uint32_t flags);
    uint32_t GetFlags() const { return m_flags; }
    int GetMode() const { return m_mode; }

    // Makes the off-screen surface for the owner display: the whole screen, or
    // the display's own size. Returns a Result code; on failure no buffer exists.
    int CreateBuffer(bool fullScreen);
    void DestroyBuffer();

    // A frame: BeginDraw (null: the owner display), CopyToScreen, EndDraw.
    void BeginDraw(platform::Display* screen);
    void EndDraw();
    void CopyToScreen();
    // Clip rectangle in screen coordinates; `screen` becomes the frame's target.
    void SetClip(int left, int top, int right, int bottom, platform::Display* screen);
    // Nothing to do for a surface that is copied to the display.
    void Suspend() { }
    void Resume() { }

    // Loads "<id>.bmp" of the resource folder `module` into the image store.
    bool LoadResource(const QString& module, uint32_t id);
    // A bitmap of the stored image, kept until DeleteHBITMAPs; null on failure.
    const QImage* CreateHBITMAP(uint32_t id);
    void DeleteHBITMAPs();
    size_t CachedBitmapCount() const { return m_bitmaps.size(); }

    // The one image-buffer client; it is pointed at the off-screen surface.
    void SetClient(CDrawBufferClient* client);
    CDrawBufferClient* GetClient() const { return m_client; }

    // Drawing. Colours: byte 0 red, 1 green, 2 blue, 3 alpha. The last argument
    // picks the screen surface (true) or the off-screen surface (false); both
    // are the same pixels. Without a buffer nothing is drawn.
    void Clear(uint32_t colour, bool toScreen);
    void Clear(bool toScreen);
    void DrawLine(int x1, int y1, int x2, int y2, uint32_t colour, bool toScreen);
    void DrawRect(int x, int y, int width, int height, uint32_t colour, bool toScreen);
    void FillSolidRect(int x, int y, int width, int height, uint32_t colour, unsigned alpha, bool toScreen);
    void SetPixel(int x, int y, uint32_t colour, bool toScreen);
    // Red | green << 8 | blue << 16; 0xFFFFFF outside the surface, -1 without a buffer.
    int32_t GetPixel(int x, int y, bool toScreen);

    // Stored images by id: plain, with a key colour, with a key colour and alpha.
    bool MaskBlt(uint32_t id, int x, int y, int width, int height, int sourceX, int sourceY, bool toScreen);
    bool MaskBlt(uint32_t id, int x, int y, int width, int height, int sourceX, int sourceY, uint32_t key,
        bool toScreen);
    bool MaskBlt(uint32_t id, int x, int y, int width, int height, int sourceX, int sourceY, uint32_t key,
        uint32_t reserved, uint32_t alpha, bool toScreen);

    // Memory images (16-bit pixels in screen orientation, signed stride).
    void CopyImage(const void* pixels, int width, int height, int stride, bool oriented, bool toScreen);
    void BlitImage(const void* pixels, int width, int height, int stride, int x, int y, uint32_t background,
        bool atOffset, bool toScreen);
    void StretchImage(const void* pixels, int width, int height, int stride, double scale,
        uint32_t background, bool scaled, bool toScreen);
    // The same into another surface; the off-screen surface is the target again afterwards.
    void CopyImageTo(
        const void* pixels, int width, int height, int stride, bool oriented, CImageRows& target);
    void BlitImageTo(const void* pixels, int width, int height, int stride, int x, int y, uint32_t background,
        bool atOffset, CImageRows& target);
    void StretchImageTo(const void* pixels, int width, int height, int stride, double scale,
        uint32_t background, bool scaled, CImageRows& target);

    CCanvas565* GetCanvas() const { return m_pScreen.get(); }
    const CImageRows& GetOffscreenSurface() const { return m_offscreen; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

protected:
    int m_mode = MODE_WAPI;
    uint32_t m_flags = 0;
    platform::Display* m_owner = nullptr;

private:
    int CreateBufferWAPI(bool fullScreen, int& pixelFormat, COrientTransform& orientation);
    // The canvas aimed at the chosen surface, or null without a buffer.
    CCanvas565* Target(bool toScreen);
    // Runs `draw` on `target`, then gives the canvas back the off-screen
    // surface and the clip it had.
    void DrawInto(CImageRows& target, const std::function<void(CCanvas565&)>& draw);
    void TraceIfEmpty(const char* what, bool toScreen);

    std::map<uint32_t, std::unique_ptr<QImage>> m_bitmaps;
    std::vector<uint8_t> m_dib; // the surface's pixel block
    platform::Display* m_windowDisplay = nullptr; // the display taken when the buffer was made
    platform::Display* m_screenDisplay = nullptr; // the frame's target; null: m_windowDisplay
    std::unique_ptr<CCanvas565> m_pScreen;
    CImageRows m_offscreen;
    CImageRows m_screen;
    CDrawBufferClient* m_client = nullptr;
    int m_width = 0;
    int m_height = 0;
};

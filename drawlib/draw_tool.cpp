#include "drawlib/draw_tool.h"

#include "drawlib/draw_buffer_client.h"
#include "drawlib/image_store.h"
#include "foundation/page_arena.h"
#include "foundation/screen_metrics.h"
#include "platform/display.h"
#include "platform/little_endian.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace {

std::mutex g_traceMutex;
DrawTraceSink g_traceSink;

// Rounds up to a multiple of 4, keeping 0 at 0.
int RoundUp4(int n) { return n > 0 ? ((n - 1) / 4) * 4 + 4 : 0; }

uint32_t Opaque(uint32_t colour) { return colour | 0xFF000000u; }

// -1 (none) becomes a transparent background, any other colour an opaque one.
uint32_t Background(uint32_t colour) { return colour == kNoBackground ? 0u : Opaque(colour); }

// A 16- or 32-bit field of a file's bytes; 0 past their end.
uint32_t ReadLE(const QByteArray& bytes, int offset, int size)
{
    if (offset + size > bytes.size())
        return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData()) + offset;
    return size == 2 ? platform::Le16(p) : platform::Le32(p);
}

// The canvas operations behind the image entry points, for either target.
void CopyOn(CCanvas565& canvas, const void* pixels, int width, int height, int stride, bool oriented)
{
    if (oriented)
        canvas.CopyOriented(pixels, width, height, stride, 0);
    else
        canvas.CopyRows(pixels, width, height, stride, 0);
}

void BlitOn(CCanvas565& canvas, const void* pixels, int width, int height, int stride, int x, int y,
    uint32_t background, bool atOffset)
{
    if (atOffset)
        canvas.BlitAt(pixels, width, height, stride, x, y, Background(background));
    else
        canvas.BlitRows(pixels, width, height, stride, x, y, Background(background));
}

void StretchOn(CCanvas565& canvas, const void* pixels, int width, int height, int stride, double scale,
    uint32_t background, bool scaled)
{
    if (scaled)
        canvas.StretchImage(pixels, width, height, stride, scale, Background(background));
    else
        canvas.StretchCopy(pixels, width, height, stride, scale, Background(background));
}

} // namespace

void SetDrawTraceSink(DrawTraceSink sink)
{
    std::lock_guard guard(g_traceMutex);
    g_traceSink = std::move(sink);
}

void DrawTrace(const char* format, ...)
{
    std::lock_guard guard(g_traceMutex);
    if (!g_traceSink)
        return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    g_traceSink("ZK_Draw_lib", text);
}

CDrawTool::CDrawTool() = default;

CDrawTool::~CDrawTool()
{
    DestroyBuffer();
    ArenaRelease();
    if (m_client) {
        m_client->m_surface = nullptr;
        m_client->m_tool = nullptr;
    }
}

void CDrawTool::SetFlags(uint32_t flags)
{
    m_flags |= flags;
    if (flags & FLAG_RESOLUTION_2)
        m_flags &= ~FLAG_RESOLUTION_1;
    else if (flags & FLAG_RESOLUTION_1)
        m_flags &= ~FLAG_RESOLUTION_2;
}

int CDrawTool::CreateBuffer(bool fullScreen)
{
    platform::Display* owner = m_owner;
    DestroyBuffer();
    m_owner = owner;

    int pixelFormat = kPixelFormatOther;
    int result = BUFFER_BAD_MODE;
    COrientTransform orientation;
    if (m_mode == MODE_WAPI)
        result = CreateBufferWAPI(fullScreen, pixelFormat, orientation);
    if (result != BUFFER_OK)
        return result;

    if (pixelFormat == kPixelFormat565)
        m_pScreen = std::make_unique<CCanvas565>(&m_offscreen);
    if (!m_pScreen) {
        DrawTrace("Pix format %d is not supported", pixelFormat);
        DestroyBuffer();
        return BUFFER_BAD_FORMAT;
    }
    DrawTrace("Buffer was created: mode %d, full screen %d, width %u, height %u, pix format %u, "
              "transf (%d,%d|%d,%d)(%d,%d), buf 0x%X",
        m_mode, fullScreen ? 1 : 0, unsigned(m_width), unsigned(m_height), unsigned(pixelFormat),
        orientation.m00, orientation.m01, orientation.m10, orientation.m11, orientation.tx, orientation.ty,
        unsigned(reinterpret_cast<uintptr_t>(m_dib.data())));
    m_pScreen->GetOrientation() = orientation;
    m_pScreen->SetClip(0, 0, m_offscreen.GetWidth() - 1, m_offscreen.GetHeight() - 1);
    return BUFFER_OK;
}

int CDrawTool::CreateBufferWAPI(bool fullScreen, int& pixelFormat, COrientTransform& orientation)
{
    platform::Display* display = m_owner;
    if (!display) {
        DrawTrace("Cannot get DC, full screen %d, %u", fullScreen ? 1 : 0, 0u);
        return BUFFER_NO_DISPLAY;
    }
    const int width = fullScreen ? GetScreenWidth() : display->Width();
    const int height = fullScreen ? GetScreenHeight() : display->Height();

    int result = BUFFER_BAD_FORMAT;
    int bytesPerPixel = 0;
    switch (display->BitsPerPixel()) {
    case 16:
        pixelFormat = kPixelFormat565;
        bytesPerPixel = 2;
        break;
    case 32:
        pixelFormat = kPixelFormatBGRX32;
        bytesPerPixel = 4;
        break;
    case 24:
        pixelFormat = kPixelFormatBGR24;
        break;
    case 8:
        pixelFormat = kPixelFormatPalette8;
        break;
    case 4:
        pixelFormat = kPixelFormatPalette4;
        break;
    case 1:
        pixelFormat = kPixelFormatPalette1;
        break;
    default:
        pixelFormat = kPixelFormatOther;
        break;
    }

    // Rows padded to 4 bytes, like a device-independent bitmap's.
    int stride = 0;
    if (bytesPerPixel) {
        result = BUFFER_NO_DISPLAY;
        if (width > 0 && height > 0 && width <= 0x4000 && height <= 0x4000) {
            stride = RoundUp4(width * bytesPerPixel);
            try {
                m_dib.assign(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
                result = BUFFER_OK;
            } catch (const std::bad_alloc&) {
                m_dib.clear();
            }
        }
    }
    if (result != BUFFER_OK) {
        DrawTrace("Cannot create DIB, width %u, height %u, pix format %d, err = %u", unsigned(width),
            unsigned(height), pixelFormat, 0u);
        m_windowDisplay = nullptr;
        return result;
    }

    m_width = width;
    m_height = height;
    m_windowDisplay = display;
    // The block's first row is the bottom of the screen: screen (0, 0) is the
    // last row, and a step down the screen is a step back in memory.
    orientation.SetFromPoints(0, height - 1, 1, height - 1, 0, height - 2, 0, 2);
    m_offscreen.Attach(m_dib.data(), width, height, stride);
    m_screen.Attach(m_dib.data(), width, height, stride);
    return BUFFER_OK;
}

void CDrawTool::DestroyBuffer()
{
    m_screen.Detach();
    m_offscreen.Detach();
    m_pScreen.reset();
    if (!m_dib.empty()) {
        DrawTrace("Buffer is destroying");
        std::vector<uint8_t>().swap(m_dib);
        m_windowDisplay = nullptr;
    }
    m_screenDisplay = nullptr;
    m_width = 0;
    m_height = 0;
    m_owner = nullptr;
}

void CDrawTool::BeginDraw(platform::Display* screen)
{
    if (m_pScreen)
        m_screenDisplay = screen;
}

void CDrawTool::EndDraw()
{
    if (m_pScreen)
        m_screenDisplay = nullptr;
}

void CDrawTool::CopyToScreen()
{
    if (!m_pScreen)
        return;
    platform::Display* destination = m_screenDisplay ? m_screenDisplay : m_windowDisplay;
    const bool haveSource = !m_dib.empty();
    if (!destination || !haveSource) {
        DrawTrace("WAPI cannot copy to screen: (src|dst<<1=%d) DC is null",
            (haveSource ? 0 : 1) | (destination ? 0 : 2));
        return;
    }
    // A frame the screen shows already is not shown again: the window is
    // repainted only for what changed.
    bool changed = false;
    {
        std::lock_guard guard(destination->lock());
        const int rows = std::min(m_height, destination->Height());
        const size_t rowBytes = static_cast<size_t>(std::min(m_width, destination->Width())) * 2;
        auto* to = reinterpret_cast<uint8_t*>(destination->Bits());
        const COrientTransform& orientation = m_pScreen->GetOrientation();
        for (int y = 0; y < rows; ++y) {
            int sx = 0, sy = y;
            orientation.Apply(sx, sy);
            uint8_t* row = to + static_cast<size_t>(y) * destination->Stride();
            if (std::memcmp(row, m_offscreen.Row(sy), rowBytes) != 0) {
                std::memcpy(row, m_offscreen.Row(sy), rowBytes);
                changed = true;
            }
        }
    }
    if (changed)
        destination->Present();
}

void CDrawTool::SetClip(int left, int top, int right, int bottom, platform::Display* screen)
{
    m_screenDisplay = screen;
    if (m_pScreen)
        m_pScreen->SetClipLogical(left, top, right, bottom);
}

bool CDrawTool::LoadResource(const QString& module, uint32_t id)
{
    if (!m_pScreen)
        return false;
    QFile file(QDir(module).filePath(QStringLiteral("%1.bmp").arg(id)));
    if (module.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        DrawTrace("LoadResource(%u) is not got, %u", id, unsigned(file.error()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    std::string error;
    if (!ConvertBitmapFile(*m_pScreen, id, reinterpret_cast<const uint8_t*>(bytes.constData()),
            static_cast<size_t>(bytes.size()), &error)) {
        // Width, height and bit count of the bitmap's info header, after the 14-byte file header.
        DrawTrace("LoadResource (%u) is not converted, width %u, height %u, bbp %u", id, ReadLE(bytes, 18, 4),
            ReadLE(bytes, 22, 4), ReadLE(bytes, 28, 2));
        return false;
    }
    return true;
}

const QImage* CDrawTool::CreateHBITMAP(uint32_t id)
{
    if (auto cached = m_bitmaps.find(id); cached != m_bitmaps.end())
        return cached->second.get();
    const CStoredImage* image = m_pScreen ? m_pScreen->GetImageStore().buffer(id) : nullptr;
    if (!image) {
        DrawTrace("CreateHBITMAP. m_pScreen->buffer(%d) return NULL", int(id));
        return nullptr;
    }
    if (!image->buf()) {
        DrawTrace("CreateHBITMAP. m_pScreen->buffer(%d)->buf() return NULL", int(id));
        return nullptr;
    }
    const int stride = std::abs(image->GetStride());
    const int rowBytes = RoundUp4(stride);
    const int rows = RoundUp4(image->GetHeight());
    auto bitmap = rowBytes && rows ? std::make_unique<QImage>(rowBytes / 2, rows, QImage::Format_RGB16)
                                   : std::make_unique<QImage>();
    if (bitmap->isNull()) {
        DrawTrace("CreateHBITMAP. CreateBitmap(%d, %d, 1, 16, 0x%X) return NULL", rowBytes / 2, rows,
            unsigned(reinterpret_cast<uintptr_t>(image->buf())));
        return nullptr;
    }
    // The image's rows in memory order, from its lowest-addressed byte; the
    // padding below and to the right stays black. Nothing past the image's
    // own block is read.
    bitmap->fill(0);
    for (int r = 0; r < image->GetHeight(); ++r)
        std::memcpy(
            bitmap->scanLine(r), image->buf() + static_cast<size_t>(r) * stride, static_cast<size_t>(stride));
    const QImage* result = bitmap.get();
    m_bitmaps.emplace(id, std::move(bitmap));
    return result;
}

void CDrawTool::DeleteHBITMAPs() { m_bitmaps.clear(); }

void CDrawTool::SetClient(CDrawBufferClient* client)
{
    // A replaced client must not reach this tool or its pixels any more: the
    // tool may be gone before it is.
    if (m_client && m_client != client) {
        m_client->m_surface = nullptr;
        m_client->m_tool = nullptr;
    }
    m_client = client;
    if (client) {
        client->m_surface = &m_offscreen;
        client->m_tool = this;
    }
}

CCanvas565* CDrawTool::Target(bool toScreen)
{
    if (m_pScreen)
        m_pScreen->SetTarget(toScreen ? &m_screen : &m_offscreen);
    return m_pScreen.get();
}

void CDrawTool::TraceIfEmpty(const char* what, bool toScreen)
{
    const CImageRows& surface = toScreen ? m_screen : m_offscreen;
    if (!surface.HasPixels())
        DrawTrace("%s(%u) buffer is empty", what, toScreen ? 1u : 0u);
}

void CDrawTool::Clear(uint32_t colour, bool toScreen)
{
    if (CCanvas565* canvas = Target(toScreen)) {
        TraceIfEmpty("Clear", toScreen);
        canvas->Clear(Opaque(colour));
    }
}

void CDrawTool::Clear(bool toScreen) { Clear(0, toScreen); }

void CDrawTool::DrawLine(int x1, int y1, int x2, int y2, uint32_t colour, bool toScreen)
{
    if (CCanvas565* canvas = Target(toScreen)) {
        TraceIfEmpty("DrawLine", toScreen);
        canvas->DrawLine(x1, y1, x2, y2, Opaque(colour));
    }
}

void CDrawTool::DrawRect(int x, int y, int width, int height, uint32_t colour, bool toScreen)
{
    if (CCanvas565* canvas = Target(toScreen)) {
        TraceIfEmpty("DrawRect", toScreen);
        canvas->DrawRect(x, y, LastOf(x, width), LastOf(y, height), Opaque(colour));
    }
}

void CDrawTool::FillSolidRect(
    int x, int y, int width, int height, uint32_t colour, unsigned alpha, bool toScreen)
{
    if (CCanvas565* canvas = Target(toScreen)) {
        TraceIfEmpty("FillSolidRect", toScreen);
        canvas->FillRect(
            x, y, LastOf(x, width), LastOf(y, height), (colour & 0xFFFFFFu) | (alpha & 0xFFu) << 24);
    }
}

void CDrawTool::SetPixel(int x, int y, uint32_t colour, bool toScreen)
{
    if (CCanvas565* canvas = Target(toScreen)) {
        TraceIfEmpty("SetPixel", toScreen);
        canvas->SetPixel(x, y, Opaque(colour));
    }
}

int32_t CDrawTool::GetPixel(int x, int y, bool toScreen)
{
    CCanvas565* canvas = Target(toScreen);
    if (!canvas)
        return -1;
    TraceIfEmpty("GetPixel", toScreen);
    return canvas->GetPixel(x, y) & 0xFFFFFF;
}

bool CDrawTool::MaskBlt(
    uint32_t id, int x, int y, int width, int height, int sourceX, int sourceY, bool toScreen)
{
    CCanvas565* canvas = Target(toScreen);
    if (!canvas)
        return false;
    if (canvas->DrawImage(id, x, y, sourceX, sourceY, width, height))
        return true;
    const CanvasRect& clip = canvas->GetClip();
    DrawTrace("MaskBlt(%u, %u, %u, %u, %u, %u, %u), buffer clip (%d,%d,%d,%d)", id, unsigned(x), unsigned(y),
        unsigned(width), unsigned(height), unsigned(sourceX), unsigned(sourceY), clip.left, clip.top,
        clip.right, clip.bottom);
    return false;
}

bool CDrawTool::MaskBlt(
    uint32_t id, int x, int y, int width, int height, int sourceX, int sourceY, uint32_t key, bool toScreen)
{
    CCanvas565* canvas = Target(toScreen);
    if (!canvas)
        return false;
    if (canvas->DrawImageKey(id, x, y, sourceX, sourceY, width, height, key))
        return true;
    const CanvasRect& clip = canvas->GetClip();
    DrawTrace("MaskBlt(%u, %u, %u, %u, %u, %u, %u, %u), buffer clip (%d,%d,%d,%d)", id, unsigned(x),
        unsigned(y), unsigned(width), unsigned(height), unsigned(sourceX), unsigned(sourceY), key, clip.left,
        clip.top, clip.right, clip.bottom);
    return false;
}

bool CDrawTool::MaskBlt(uint32_t id, int x, int y, int width, int height, int sourceX, int sourceY,
    uint32_t key, uint32_t reserved, uint32_t alpha, bool toScreen)
{
    CCanvas565* canvas = Target(toScreen);
    if (!canvas)
        return false;
    if (canvas->DrawImageKeyAlpha(id, x, y, sourceX, sourceY, width, height, key, alpha & 0xFF))
        return true;
    const CanvasRect& clip = canvas->GetClip();
    DrawTrace("MaskBlt(%u, %u, %u, %u, %u, %u, %u, %u, %u), buffer!=0 = %d, clip (%d,%d,%d,%d)", id,
        unsigned(x), unsigned(y), unsigned(width), unsigned(height), unsigned(sourceX), unsigned(sourceY),
        key, reserved, m_dib.empty() ? 0 : 1, clip.left, clip.top, clip.right, clip.bottom);
    return false;
}

void CDrawTool::CopyImage(const void* pixels, int width, int height, int stride, bool oriented, bool toScreen)
{
    if (CCanvas565* canvas = Target(toScreen))
        CopyOn(*canvas, pixels, width, height, stride, oriented);
}

void CDrawTool::BlitImage(const void* pixels, int width, int height, int stride, int x, int y,
    uint32_t background, bool atOffset, bool toScreen)
{
    if (CCanvas565* canvas = Target(toScreen))
        BlitOn(*canvas, pixels, width, height, stride, x, y, background, atOffset);
}

void CDrawTool::StretchImage(const void* pixels, int width, int height, int stride, double scale,
    uint32_t background, bool scaled, bool toScreen)
{
    if (CCanvas565* canvas = Target(toScreen))
        StretchOn(*canvas, pixels, width, height, stride, scale, background, scaled);
}

void CDrawTool::DrawInto(CImageRows& target, const std::function<void(CCanvas565&)>& draw)
{
    if (!m_pScreen)
        return;
    // A smaller target lowers the canvas clip; the screen must get its own back.
    const CanvasRect clip = m_pScreen->GetClip();
    m_pScreen->SetTarget(&target);
    draw(*m_pScreen);
    m_pScreen->SetTarget(&m_offscreen);
    m_pScreen->SetClip(clip.left, clip.top, clip.right, clip.bottom);
}

void CDrawTool::CopyImageTo(
    const void* pixels, int width, int height, int stride, bool oriented, CImageRows& target)
{
    DrawInto(target, [&](CCanvas565& canvas) { CopyOn(canvas, pixels, width, height, stride, oriented); });
}

void CDrawTool::BlitImageTo(const void* pixels, int width, int height, int stride, int x, int y,
    uint32_t background, bool atOffset, CImageRows& target)
{
    DrawInto(target, [&](CCanvas565& canvas) {
        BlitOn(canvas, pixels, width, height, stride, x, y, background, atOffset);
    });
}

void CDrawTool::StretchImageTo(const void* pixels, int width, int height, int stride, double scale,
    uint32_t background, bool scaled, CImageRows& target)
{
    DrawInto(target, [&](CCanvas565& canvas) {
        StretchOn(canvas, pixels, width, height, stride, scale, background, scaled);
    });
}

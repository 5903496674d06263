#include "foundation/image_buffer.h"

#include "foundation/page_arena.h"

#include <cstdlib>
#include <cstring>

namespace {

size_t BlockBytes(int height, int stride)
{
    if (height <= 0)
        return 0;
    return static_cast<size_t>(height) * static_cast<size_t>(std::abs(static_cast<long>(stride)));
}

} // namespace

void CImageBuffer::AttachPixels(uint8_t* pixels, int width, int height, int stride, CDrawTool* drawTool)
{
    if (m_ownPixels) {
        ArenaFree(m_ownPixels);
        m_ownPixels = nullptr;
        m_ownCapacity = 0;
        m_rows.Detach();
    }
    m_view.Init(pixels, width, height, stride);
    m_surface = drawTool;
}

void CImageBuffer::Reset()
{
    m_view.Clear();
    m_rows.Detach();
    if (m_ownPixels)
        ArenaFree(m_ownPixels);
    m_ownPixels = nullptr;
    m_ownCapacity = 0;
    m_surface = nullptr;
}

bool CImageBuffer::ReserveOwn(int height, int stride)
{
    const size_t need = BlockBytes(height, stride);
    if (m_ownPixels && m_ownCapacity >= need)
        return true;
    if (m_ownPixels)
        ArenaFree(m_ownPixels);
    m_ownPixels = static_cast<uint8_t*>(ArenaAlloc(need));
    m_ownCapacity = m_ownPixels ? need : 0;
    return m_ownPixels != nullptr;
}

bool CImageBuffer::EnsurePixels(int width, int height, int stride, CImageRows& target)
{
    if (width == target.GetWidth() && height == target.GetHeight() && stride == target.GetStride()
        && target.GetPixels())
        return true;
    const bool ok = ReserveOwn(height, stride);
    if (&target != &m_rows)
        m_rows.Detach();
    if (!ok) {
        target.Detach();
        m_view.Clear();
        return false;
    }
    target.Attach(m_ownPixels, width, height, stride);
    m_view.Init(m_ownPixels, width, height, stride);
    return true;
}

bool CImageBuffer::EnsurePixelsView(int width, int height, int stride, CImageView& target)
{
    if (width == target.width && height == target.height && stride == target.stride && target.pixels)
        return true;
    const bool ok = ReserveOwn(height, stride);
    m_rows.Detach();
    if (!ok) {
        target.Clear();
        m_view.Clear();
        return false;
    }
    target.Init(m_ownPixels, width, height, stride);
    m_view.Init(m_ownPixels, width, height, stride);
    return true;
}

bool CImageBuffer::CopyPixelsFrom(const CImageBuffer& source)
{
    if (!source.m_surface)
        return false;
    const CImageView& from = source.m_view;
    if (!m_surface) {
        if (!EnsurePixelsView(from.width, from.height, from.stride, m_view))
            return false;
    } else if (m_view.width != from.width || m_view.height != from.height || m_view.stride != from.stride) {
        return false;
    }
    if (!m_view.pixels || !from.pixels)
        return false;
    const size_t bytes = BlockBytes(from.height, from.stride);
    if (m_view.pixels != from.pixels)
        std::memmove(m_view.pixels, from.pixels, bytes);
    return true;
}

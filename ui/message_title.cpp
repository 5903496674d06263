#include "ui/message_title.h"

#include "foundation/screen_metrics.h"
#include "ui/element_drawing.h"

namespace {
constexpr int kTitleImage = 214;
constexpr int kTitleTextFlags = 3;
}

void CMessageTitle::UpdateSize() { SetSize(GetImageSize(m_surface, kTitleImage)); }

void CMessageTitle::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    const ElementSize size = GetImageSize(m_surface, kTitleImage);
    DrawKeyedImage(m_surface, kTitleImage, m_x, m_y, size, 255);
    // Room on the right for the close button.
    const ElementRect text { m_x + ScaleByDpiX(7), m_y + ScaleByDpiY(4),
        m_x + size.cx + ScaleByDpiX(7) - ScaleByDpiX(27), m_y + size.cy + ScaleByDpiY(4) };
    FontDrawTextBox(m_font, m_caption, text, kTitleTextFlags);
}

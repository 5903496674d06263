#include "controls/bitmap_element.h"

#include "drawlib/glyph_sets.h"
#include "foundation/app_services.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"

int CBitmapElement::Attach(CDrawTool* surface, CMapController* owner, const ElementPoint& position)
{
    if (!SetSurface(surface))
        return 0;
    m_owner = owner;
    SetPosition(position);
    SetSize(GetImageSize(surface, kBarImage));
    m_label.Init(surface, 0);
    return 1;
}

void CBitmapElement::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    DrawKeyedImage(m_surface, static_cast<int>(kBarImage), m_x, m_y, { m_width, m_height }, 255);
    const int32_t length = m_owner ? m_owner->GetScaleBarLength() : 0;
    const ElementPoint at { m_x, m_y };
    const int language = g_language;
    if (length != m_labelLength || at != m_labelAt || language != m_labelLanguage) {
        m_labelLength = length;
        m_labelAt = at;
        m_labelLanguage = language;
        QString text;
        FormatDistance3(length, text);
        ElementPoint anchor { m_x - ScaleByDpiX(5), m_y - ScaleByDpiY(18) };
        m_label.ShowText(text, anchor, GetToolFont(FONT_SMALL));
    }
    m_label.Draw();
}

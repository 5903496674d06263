#include "controls/text_diagram.h"

namespace {
constexpr int kTextDiagramAlpha = 190;
constexpr int kTextDiagramTextFlags = 2;
}

CTextDiagram::CTextDiagram()
{
    SetAlpha(kTextDiagramAlpha);
    m_textFlags = kTextDiagramTextFlags;
}

void CTextDiagram::GetFrameStyle(const ElementPoint&, const ElementSize&, int& style)
{
    style = !m_text.isEmpty() && m_font ? FRAME_BOXED | FRAME_CONTENT : FRAME_BOXED;
}

#include "ui/screen_element.h"

CScreenElement::CScreenElement(const CScreenElement& other)
    : m_x(other.m_x)
    , m_y(other.m_y)
    , m_state(other.m_state.load())
    , m_width(other.m_width)
    , m_height(other.m_height)
    , m_surface(other.m_surface)
    , m_alpha(other.m_alpha)
{
}

CScreenElement& CScreenElement::operator=(const CScreenElement& other)
{
    m_x = other.m_x;
    m_y = other.m_y;
    m_state = other.m_state.load();
    m_width = other.m_width;
    m_height = other.m_height;
    m_surface = other.m_surface;
    m_alpha = other.m_alpha;
    return *this;
}

void CScreenElement::GetSize(ElementSize& size) const
{
    size.cx = m_width;
    size.cy = m_height;
}

void CScreenElement::SetSize(const ElementSize& size)
{
    m_width = size.cx;
    m_height = size.cy;
}

void CScreenElement::SetPosition(const ElementPoint& point)
{
    m_x = point.x;
    m_y = point.y;
}

void CScreenElement::GetPosition(ElementPoint& point) const
{
    point.x = m_x;
    point.y = m_y;
}

void CScreenElement::SetAlpha(unsigned alpha)
{
    if (alpha < 256)
        m_alpha = static_cast<uint8_t>(alpha);
}

void CScreenElement::Assign(const CScreenElement& other)
{
    if (&other == this)
        return;
    m_x = other.m_x;
    m_y = other.m_y;
    m_state = other.m_state.load();
    m_surface = other.m_surface;
}

int CScreenElement::SetSurface(CDrawTool* surface)
{
    if (!surface)
        return 0;
    m_surface = surface;
    return 1;
}

bool CScreenElement::Contains(const ElementPoint& point) const
{
    return m_x <= point.x && point.x < m_x + m_width && m_y <= point.y && point.y < m_y + m_height;
}
